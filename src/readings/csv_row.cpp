#include "readings/csv_row.h"

#include <algorithm>
#include <charconv>

#include "readings/local_time_text.h"

namespace dornvel {

namespace {

template <class Number>
std::string NumberField(const std::optional<Number>& value, char decimalMark) {
  if (!value) return {};
  char text[32];
  // Shortest form that reads back to the same value: 12.5, 0.1, 1e+20.
  const auto end = std::to_chars(text, text + sizeof text, *value).ptr;
  std::string field(text, end);
  std::replace(field.begin(), field.end(), '.', decimalMark);
  return field;
}

}  // namespace

std::string CsvNumber(const std::optional<float>& value, char decimalMark) { return NumberField(value, decimalMark); }
std::string CsvNumber(const std::optional<int>& value, char decimalMark) { return NumberField(value, decimalMark); }

std::string CsvHeader(const std::vector<std::string>& names, CsvForm form) {
  std::string header;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) header += form.separator;
    header += CsvField(names[i], form.separator);
  }
  return header;
}

std::string CsvRow(const Reading& reading, CsvForm form) {
  const char s = form.separator;
  return LocalTimeText(reading.time) + s + CsvNumber(reading.resistanceKohm, form.decimalMark) + s +
         CsvNumber(reading.switchValue, form.decimalMark) + s + CsvNumber(reading.deviceSlaveId, form.decimalMark) + s +
         CsvNumber(reading.deviceBaudRate, form.decimalMark) + s + CsvField(reading.errorCount, s) + s +
         CsvField(reading.message, s);
}

std::string BusCsvRow(const Reading& reading, CsvForm form) {
  const char s = form.separator;
  const auto slave = reading.meter ? std::optional(reading.meter->slave) : std::nullopt;
  const auto rate = reading.meter ? std::optional(reading.meter->baudRate) : std::nullopt;
  return LocalTimeText(reading.time) + s + NumberField(slave, form.decimalMark) + s +
         NumberField(rate, form.decimalMark) + s + NumberField(reading.resistanceKohm, form.decimalMark) + s +
         NumberField(reading.switchValue, form.decimalMark) + s + CsvField(reading.message, s);
}

std::string CsvField(std::string_view text, char separator) {
  if (text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace dornvel
