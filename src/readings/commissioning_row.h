#pragma once

#include <optional>
#include <string>

#include "readings/csv_row.h"
#include "readings/reading.h"

namespace dornvel {

// One meter given its settings, as the commissioning report keeps it.
struct CommissioningRow {
  WallTime time;
  std::optional<int> oldSlaveId;
  std::optional<int> oldBaudRate;
  int newSlaveId = 0;
  int newBaudRate = 0;
  std::optional<float> resistanceKohm;
  std::optional<int> switchValue;
  // "pass", "warning", "fail" or empty; the message of a failure, or empty.
  std::string verdict;
  std::string message;
};

// The report's row, without its line end, in the columns of
// kCommissioningColumns: the local time with its UTC offset, empty fields
// for what is not known.
std::string CommissioningCsvRow(const CommissioningRow& row, CsvForm form = kCommaCsv);

// The columns' machine names, as the command line writes them.
inline constexpr const char* kCommissioningColumns[] = {"time",         "old_slave_id",  "old_baud_rate",
                                                        "new_slave_id", "new_baud_rate", "resistance_kohm",
                                                        "switch",       "verdict",       "message"};

}  // namespace dornvel
