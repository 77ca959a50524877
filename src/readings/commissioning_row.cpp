#include "readings/commissioning_row.h"

#include "readings/local_time_text.h"

namespace dornvel {

std::string CommissioningCsvRow(const CommissioningRow& row, CsvForm form) {
  const char s = form.separator;
  const char mark = form.decimalMark;
  return LocalTimeText(row.time) + s + CsvNumber(row.oldSlaveId, mark) + s + CsvNumber(row.oldBaudRate, mark) + s +
         CsvNumber(std::optional<int>(row.newSlaveId), mark) + s +
         CsvNumber(std::optional<int>(row.newBaudRate), mark) + s + CsvNumber(row.resistanceKohm, mark) + s +
         CsvNumber(row.switchValue, mark) + s + CsvField(row.verdict, s) + s + CsvField(row.message, s);
}

}  // namespace dornvel
