#include "readings/csv_row.h"

#include <charconv>

#include "readings/local_time_text.h"

namespace dornvel {

namespace {

template <class Number>
std::string NumberField(const std::optional<Number>& value) {
  if (!value) return {};
  char text[32];
  // Shortest form that reads back to the same value: 12.5, 0.1, 1e+20.
  const auto end = std::to_chars(text, text + sizeof text, *value).ptr;
  return std::string(text, end);
}

}  // namespace

std::string CsvHeader() { return "time,resistance_kohm,switch,device_slave_id,device_baud_rate,errors,message"; }

std::string CsvRow(const Reading& reading) {
  return LocalTimeText(reading.time) + ',' + NumberField(reading.resistanceKohm) + ',' +
         NumberField(reading.switchValue) + ',' + NumberField(reading.deviceSlaveId) + ',' +
         NumberField(reading.deviceBaudRate) + ',' + CsvField(reading.errorCount) + ',' + CsvField(reading.message);
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace dornvel
