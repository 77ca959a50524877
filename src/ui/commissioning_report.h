#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "readings/commissioning_row.h"
#include "readings/csv_row.h"
#include "ui/commissioning_text.h"

namespace dornvel {

// A batch's report as the commissioning window keeps it: its rows, the
// settings they were made with, and the files it goes into.
struct CommissioningReport {
  int rate = 9600;
  Thresholds thresholds;
  std::vector<CommissioningRow> rows;
};

// The report's CSV files are named "commissioning-<date>-<time>.csv".
QString ReportFileName(WallTime time);
// One above the highest new slave id in the folder's last report, else 2 (1
// is where a new meter answers from the factory).
int NextSlaveIdAfterReports(const QString& folder);

// Writes the whole report into `path`, in `form`; false, with the reason in
// `why`, when it cannot be written.
bool SaveReportCsv(const CommissioningReport& report, const QString& path, CsvForm form, QString* why);
// A PDF: a title, the date, the settings, the table of rows and a summary of
// how many passed, warned, failed or were not verified.
bool SaveReportPdf(const CommissioningReport& report, const QString& path);
// The colour of a row in the window and the PDF: green for pass, amber for
// warning, red for fail or not verified, white for a verified meter unjudged.
QString RowColour(const CommissioningRow& row);
// The summary line: "Pass: 3, warning: 1, fail: 0, not verified: 1".
QString ReportSummary(const CommissioningReport& report);

}  // namespace dornvel
