#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "readings/reading.h"

namespace dornvel {

// Rows of the readings file: UTF-8, fields as RFC 4180 has them, each line
// ended by CR LF.
inline constexpr std::string_view kCsvLineEnd = "\r\n";
// At the start of the file, so that a spreadsheet reads it as UTF-8 and not
// in the system's code page (cp1251 on a Russian Windows).
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// What separates the fields and marks the decimals. A spreadsheet splits a
// line at the list separator of its locale: ',' where the decimal mark is a
// point, ';' where it is a comma (and reads "987,25" as a number only there).
struct CsvForm {
  char separator = ',';
  char decimalMark = '.';
  friend bool operator==(const CsvForm&, const CsvForm&) = default;
};
inline constexpr CsvForm kCommaCsv{',', '.'};
inline constexpr CsvForm kSemicolonCsv{';', ','};

// The header line, without its line end: `names`, one for each column of a
// row (time, resistance, switch, device slave id, device baud rate, errors,
// message), in the user's language.
std::string CsvHeader(const std::vector<std::string>& names, CsvForm form = kCommaCsv);
// One tick, without its line end: the local time with its UTC offset, the
// resistance in its shortest exact form, empty fields for what failed.
std::string CsvRow(const Reading& reading, CsvForm form = kCommaCsv);
// A number in its shortest exact form with the decimal mark given; empty for none.
std::string CsvNumber(const std::optional<float>& value, char decimalMark);
std::string CsvNumber(const std::optional<int>& value, char decimalMark);
// One poll of one meter among several on the line: the time, the meter's
// slave id and rate, resistance, switch and the poll's message.
std::string BusCsvRow(const Reading& reading, CsvForm form = kCommaCsv);
// Either of the two.
using CsvRowLayout = std::string (*)(const Reading&, CsvForm);
// `text` as one field: in double quotes, with its quotes doubled, when it holds
// the separator, a quote or a line break; as it is otherwise.
std::string CsvField(std::string_view text, char separator = ',');

}  // namespace dornvel
