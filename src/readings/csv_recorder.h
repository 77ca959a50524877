#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "readings/csv_row.h"
#include "readings/reading.h"

namespace dornvel {

// Records one row per tick into a CSV file (see csv_row.h) of the form asked
// for, or rows of another table (the commissioning report). An existing file is appended to; a new or empty one gets
// the byte-order mark and the header first, with the column names given. Every row is handed to the system as soon as
// it is recorded, so a crash of the program loses at most the tick in progress.
//
// When the file cannot be opened or written (folder missing, disk full, no
// permission, a folder by that name), Ok() turns false for good and Failure()
// holds the system's reason, e.g. "No space left on device"; the window then
// stops recording and says why.
class CsvRecorder {
 public:
  CsvRecorder(const std::filesystem::path& path, CsvForm form, const std::vector<std::string>& columnNames,
              CsvRowLayout layout = CsvRow);

  // Writes the row of one tick. False when it could not be written, and from
  // the first failure on.
  bool Record(const Reading& reading);
  // Writes a row made elsewhere in the file's form (see Form), without its line end.
  bool Record(const std::string& row);
  CsvForm Form() const { return form_; }

  bool Ok() const { return failure_.empty(); }
  const std::string& Failure() const { return failure_; }
  const std::filesystem::path& Path() const { return path_; }

 private:
  // Writes and flushes `text`; notes the reason on failure.
  bool Write(const std::string& text);
  void Fail();

  std::filesystem::path path_;
  CsvForm form_;
  CsvRowLayout layout_;
  std::ofstream out_;
  std::string failure_;
};

}  // namespace dornvel
