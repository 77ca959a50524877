#pragma once

#include <string>
#include <string_view>

#include "readings/reading.h"

namespace dornvel {

// Rows of the readings file: comma-separated UTF-8 as RFC 4180 has it, each
// line ended by CR LF.
inline constexpr std::string_view kCsvLineEnd = "\r\n";

// "time,resistance_kohm,switch,device_slave_id,device_baud_rate,errors,message"
std::string CsvHeader();
// One tick, without its line end: the local time with its UTC offset, the
// resistance in its shortest exact form, empty fields for what failed.
std::string CsvRow(const Reading& reading);
// `text` as one field: in double quotes, with its quotes doubled, when it holds
// a comma, a quote or a line break; as it is otherwise.
std::string CsvField(std::string_view text);

}  // namespace dornvel
