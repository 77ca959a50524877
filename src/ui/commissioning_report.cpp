#include "ui/commissioning_report.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <filesystem>

#include "readings/csv_recorder.h"
#include "readings/local_time_text.h"

namespace dornvel {

namespace {

const QString kReportPattern = QStringLiteral("commissioning-*.csv");
// The new slave id's column in the report (see kCommissioningColumns).
constexpr int kNewSlaveIdColumn = 3;
constexpr int kFactorySlaveId = 1;

std::vector<std::string> ColumnNames() { return {std::begin(kCommissioningColumns), std::end(kCommissioningColumns)}; }

QString Escaped(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

QString Number(const std::optional<int>& value) { return value ? QString::number(*value) : QString(); }

QString Threshold(const std::optional<double>& value) {
  return value ? QString::number(*value) : QCoreApplication::translate("dornvel::CommissioningReport", "none");
}

}  // namespace

QString RowColour(const CommissioningRow& row) {
  if (row.verdict == "pass") return QStringLiteral("#c8f0c8");
  if (row.verdict == "warning") return QStringLiteral("#ffe0a0");
  if (row.verdict.empty() && row.resistanceKohm) return QStringLiteral("#ffffff");
  return QStringLiteral("#f4b8b8");
}

QString ReportFileName(WallTime time) {
  const QDateTime local = QDateTime::fromSecsSinceEpoch(std::chrono::system_clock::to_time_t(time));
  return QStringLiteral("commissioning-%1.csv").arg(local.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

int NextSlaveIdAfterReports(const QString& folder) {
  const QStringList reports = QDir(folder).entryList({kReportPattern}, QDir::Files, QDir::Name);
  if (reports.isEmpty()) return kFactorySlaveId + 1;
  QFile last(QDir(folder).filePath(reports.last()));
  int highest = 0;
  if (last.open(QIODevice::ReadOnly)) {
    last.readLine();  // the header
    while (!last.atEnd()) {
      const QString line = QString::fromUtf8(last.readLine());
      const QChar separator = line.count(QLatin1Char(';')) > line.count(QLatin1Char(',')) ? ';' : ',';
      highest = std::max(highest, line.section(separator, kNewSlaveIdColumn, kNewSlaveIdColumn).toInt());
    }
  }
  return highest == 0 || highest >= meter::kLastSlaveId ? kFactorySlaveId + 1 : highest + 1;
}

bool SaveReportCsv(const CommissioningReport& report, const QString& path, CsvForm form, QString* why) {
  std::filesystem::remove(path.toStdString());
  CsvRecorder file(path.toStdString(), form, ColumnNames());
  for (const CommissioningRow& row : report.rows) file.Record(CommissioningCsvRow(row, form));
  if (!file.Ok() && why) *why = QString::fromStdString(file.Failure());
  return file.Ok();
}

QString ReportSummary(const CommissioningReport& report) {
  int pass = 0, warning = 0, fail = 0, notVerified = 0;
  for (const CommissioningRow& row : report.rows) {
    if (row.verdict == "pass")
      ++pass;
    else if (row.verdict == "warning")
      ++warning;
    else if (row.verdict == "fail")
      ++fail;
    else if (!row.resistanceKohm)
      ++notVerified;
  }
  return QCoreApplication::translate("dornvel::CommissioningReport",
                                     "Pass: %1, warning: %2, fail: %3, not verified: %4")
      .arg(pass)
      .arg(warning)
      .arg(fail)
      .arg(notVerified);
}

bool SaveReportPdf(const CommissioningReport& report, const QString& path) {
  QString html =
      QStringLiteral("<h2>%1</h2><p>%2</p><p>%3</p>")
          .arg(QCoreApplication::translate("dornvel::CommissioningReport", "Commissioning report"),
               QLocale().toString(QDateTime::currentDateTime(), QLocale::LongFormat),
               QCoreApplication::translate("dornvel::CommissioningReport",
                                           "Baud rate: %1; prewarning: %2 kOhm; alarm: %3 kOhm")
                   .arg(report.rate)
                   .arg(Threshold(report.thresholds.prewarningKohm), Threshold(report.thresholds.alarmKohm)));
  html += QStringLiteral("<table border='1' cellspacing='0' cellpadding='3'><tr>");
  for (const char* column : kCommissioningColumns) html += QStringLiteral("<th>%1</th>").arg(QLatin1String(column));
  html += QStringLiteral("</tr>");
  for (const CommissioningRow& row : report.rows) {
    html += QStringLiteral(
                "<tr bgcolor='%1'><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td><td>%7</td>"
                "<td>%8</td><td>%9</td><td>%10</td></tr>")
                .arg(RowColour(row), Escaped(LocalTimeText(row.time)), Number(row.oldSlaveId), Number(row.oldBaudRate),
                     QString::number(row.newSlaveId), QString::number(row.newBaudRate),
                     row.resistanceKohm ? QString::number(*row.resistanceKohm) : QString(), Number(row.switchValue),
                     Escaped(row.verdict))
                .arg(Escaped(row.message));
  }
  html += QStringLiteral("</table><p>%1</p>").arg(ReportSummary(report));
  QPdfWriter writer(path);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageOrientation(QPageLayout::Landscape);
  writer.setTitle(QCoreApplication::translate("dornvel::CommissioningReport", "Commissioning report"));
  QTextDocument document;
  document.setHtml(html);
  document.print(&writer);
  return QFile::exists(path);
}

}  // namespace dornvel
