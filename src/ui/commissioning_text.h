#pragma once

#include <QString>
#include <optional>

#include "protocol/commissioning.h"
#include "readings/commissioning_row.h"

namespace dornvel {

// The thresholds a meter's resistance is judged by, in kilohms.
struct Thresholds {
  std::optional<double> prewarningKohm;
  std::optional<double> alarmKohm;
};

// What the window shows while a step runs: "Writing the slave id…".
QString StepText(CommissioningStep step);
// The report's word for a verdict: "pass", "warning", "fail", or empty.
QString VerdictWord(Verdict verdict);
// What happened, in a sentence for the report and the user; empty when the
// meter verified with nothing out of the way.
QString CommissioningMessage(const Commissioning& result);
// The report's row of `result`, made at `time`.
CommissioningRow RowOf(const Commissioning& result, WallTime time, const Thresholds& thresholds);

}  // namespace dornvel
