#include "readings/csv_recorder.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "readings/csv_row.h"

namespace dornvel {

namespace {

enum class FileStart { Empty, AfterLineEnd, InsideLine };

// What a new row follows: nothing, a complete row, or a row cut off (the
// program ended while writing it). Whatever is not a regular file with
// something in it counts as empty.
FileStart StartOf(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error) || std::filesystem::file_size(path, error) == 0 || error) {
    return FileStart::Empty;
  }
  std::ifstream in(path, std::ios::binary);
  char last = '\n';
  in.seekg(-1, std::ios::end);
  in.get(last);
  return last == '\n' ? FileStart::AfterLineEnd : FileStart::InsideLine;
}

}  // namespace

CsvRecorder::CsvRecorder(const std::filesystem::path& path, CsvForm form, const std::vector<std::string>& columnNames,
                         CsvRowLayout layout)
    : path_(path), form_(form), layout_(layout) {
  const FileStart start = StartOf(path);
  errno = 0;
  out_.open(path, std::ios::binary | std::ios::app);
  if (!out_) {
    Fail();
    return;
  }
  if (start == FileStart::Empty) {
    Write(std::string(kUtf8ByteOrderMark) + CsvHeader(columnNames, form) + std::string(kCsvLineEnd));
  }
  // A cut-off row keeps its line; the next row starts on a line of its own.
  if (start == FileStart::InsideLine) Write(std::string(kCsvLineEnd));
}

bool CsvRecorder::Record(const Reading& reading) { return Record(layout_(reading, form_)); }

bool CsvRecorder::Record(const std::string& row) { return Ok() && Write(row + std::string(kCsvLineEnd)); }

bool CsvRecorder::Write(const std::string& text) {
  errno = 0;
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  out_.flush();
  if (!out_) Fail();
  return Ok();
}

void CsvRecorder::Fail() {
  // The stream sets no error code of its own; the system call under it left
  // its reason in errno.
  failure_ = errno != 0 ? std::strerror(errno) : "the file cannot be written";
  out_.close();
}

}  // namespace dornvel
