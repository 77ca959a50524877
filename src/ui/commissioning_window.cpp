#include "ui/commissioning_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>

#include "protocol/commissioning.h"
#include "protocol/line.h"
#include "readings/csv_recorder.h"
#include "readings/local_time_text.h"
#include "ui/recording_form.h"
#include "ui/settings_store.h"
#include "ui/tool_host.h"

namespace dornvel {

namespace {

const QString kSection = QStringLiteral("Commissioning");
const QString kPrewarningKey = QStringLiteral("Prewarning");
const QString kAlarmKey = QStringLiteral("Alarm");
const QString kFolderKey = QStringLiteral("ReportFolder");
const QString kRateKey = QStringLiteral("BoudRate");

QString ConnectNext() {
  return QCoreApplication::translate("dornvel::CommissioningWindow",
                                     "Connect the next meter alone, with the jumper JP set, and press Next");
}

std::optional<double> Kilohms(const QString& text) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  return ok && value >= 0 ? std::optional<double>(value) : std::nullopt;
}

QString Cell(const std::optional<int>& value) { return value ? QString::number(*value) : QString(); }

}  // namespace

CommissioningWindow::CommissioningWindow(ToolHost& host, SettingsStore& settings, QWidget* parent)
    : QDialog(parent),
      host_(host),
      settings_(settings),
      firstId_(new QSpinBox(this)),
      rate_(new QComboBox(this)),
      prewarning_(new QLineEdit(this)),
      alarm_(new QLineEdit(this)),
      folder_(new QLineEdit(this)),
      status_(new QLabel(ConnectNext(), this)),
      next_(new QPushButton(QCoreApplication::translate("dornvel::CommissioningWindow", "Next"), this)),
      stop_(new QPushButton(QCoreApplication::translate("dornvel::CommissioningWindow", "Stop"), this)),
      table_(new QTableWidget(0, static_cast<int>(std::size(kCommissioningColumns)), this)) {
  setWindowTitle(QCoreApplication::translate("dornvel::CommissioningWindow", "Commission meters"));
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  folder_->setText(settings.GetSetting(kSection, kFolderKey, documents));
  firstId_->setRange(meter::kFirstSlaveId, meter::kLastSlaveId);
  firstId_->setValue(NextSlaveIdAfterReports(folder_->text()));
  for (int rate : meter::kRates) rate_->addItem(QString::number(rate), rate);
  rate_->setCurrentText(settings.GetSetting(kSection, kRateKey, QString::number(meter::kRates[0])));
  prewarning_->setText(settings.GetSetting(kSection, kPrewarningKey, QString()));
  alarm_->setText(settings.GetSetting(kSection, kAlarmKey, QString()));

  auto* form = new QFormLayout;
  form->addRow(QCoreApplication::translate("dornvel::CommissioningWindow", "First slave id"), firstId_);
  form->addRow(QCoreApplication::translate("dornvel::CommissioningWindow", "Baud rate"), rate_);
  form->addRow(QCoreApplication::translate("dornvel::CommissioningWindow", "Prewarning, kOhm"), prewarning_);
  form->addRow(QCoreApplication::translate("dornvel::CommissioningWindow", "Alarm, kOhm"), alarm_);
  form->addRow(QCoreApplication::translate("dornvel::CommissioningWindow", "Report folder"), folder_);
  auto* save = new QPushButton(QCoreApplication::translate("dornvel::CommissioningWindow", "Save report…"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(next_);
  buttons->addWidget(stop_);
  buttons->addStretch();
  buttons->addWidget(save);
  QStringList headers;
  for (const char* column : kCommissioningColumns) headers << QString::fromLatin1(column);
  table_->setHorizontalHeaderLabels(headers);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  status_->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(status_);
  layout->addLayout(buttons);
  layout->addWidget(table_);
  stop_->setEnabled(false);
  resize(900, 420);

  connect(next_, &QPushButton::clicked, this, &CommissioningWindow::Next);
  connect(stop_, &QPushButton::clicked, this, [this] { stopAsked_ = true; });
  connect(save, &QPushButton::clicked, this, &CommissioningWindow::AskToSave);
}

CommissioningWindow::~CommissioningWindow() = default;

Thresholds CommissioningWindow::ThresholdsShown() const {
  return {Kilohms(prewarning_->text()), Kilohms(alarm_->text())};
}

void CommissioningWindow::SaveSettings() {
  settings_.SaveSetting(kSection, kPrewarningKey, prewarning_->text().trimmed());
  settings_.SaveSetting(kSection, kAlarmKey, alarm_->text().trimmed());
  settings_.SaveSetting(kSection, kFolderKey, folder_->text());
  settings_.SaveSetting(kSection, kRateKey, rate_->currentText());
}

void CommissioningWindow::ProposeAbove(int taken) {
  if (taken < meter::kLastSlaveId) firstId_->setValue(std::max(firstId_->value(), taken + 1));
}

void CommissioningWindow::Next() {
  if (running_) return;
  running_ = true;
  stopAsked_ = false;
  next_->setEnabled(false);
  stop_->setEnabled(true);
  SaveSettings();
  status_->setText(QCoreApplication::translate("dornvel::CommissioningWindow", "Waiting for the line…"));
  host_.WhenLineFree([this] { RunOne(); });
}

void CommissioningWindow::RunOne() {
  const MeterAddress target{firstId_->value(), rate_->currentData().toInt()};
  report_.rate = target.baudRate;
  report_.thresholds = ThresholdsShown();
  Commissioning result;
  {
    const auto hold = host_.CommLine().Take("commission");
    if (!hold) {
      status_->setText(QCoreApplication::translate("dornvel::CommissioningWindow",
                                                   "The line is in use by another tool; press Next again."));
      running_ = false;
      next_->setEnabled(true);
      stop_->setEnabled(false);
      return;
    }
    CommissioningHooks hooks;
    hooks.onStep = [this](CommissioningStep step) { status_->setText(StepText(step)); };
    hooks.cancelled = [this] { return stopAsked_; };
    result = Commission(*hold, host_.Services(), target, hooks);
  }
  Append(RowOf(result, std::chrono::system_clock::now(), report_.thresholds));
  if (result.outcome == CommissioningOutcome::Verified && target.slave < meter::kLastSlaveId) {
    firstId_->setValue(target.slave + 1);
  }
  const QString message = QString::fromStdString(report_.rows.back().message);
  status_->setText(message.isEmpty() ? ConnectNext() : message + QLatin1Char('\n') + ConnectNext());
  running_ = false;
  next_->setEnabled(true);
  stop_->setEnabled(false);
}

void CommissioningWindow::Append(const CommissioningRow& row) {
  report_.rows.push_back(row);
  // Row by row into the folder's report, so that nothing done is lost.
  if (!file_) {
    const QString path = QDir(folder_->text()).filePath(ReportFileName(row.time));
    file_ = std::make_unique<CsvRecorder>(
        path.toStdString(), LocaleCsvForm(),
        std::vector<std::string>(std::begin(kCommissioningColumns), std::end(kCommissioningColumns)));
  }
  if (!file_->Record(CommissioningCsvRow(row, file_->Form()))) {
    status_->setText(
        QCoreApplication::translate("dornvel::CommissioningWindow", "Cannot write the report %1: %2")
            .arg(QString::fromStdString(file_->Path().string()), QString::fromStdString(file_->Failure())));
  }
  const int at = table_->rowCount();
  table_->insertRow(at);
  const QStringList cells = {QString::fromStdString(LocalTimeText(row.time)),
                             Cell(row.oldSlaveId),
                             Cell(row.oldBaudRate),
                             QString::number(row.newSlaveId),
                             QString::number(row.newBaudRate),
                             row.resistanceKohm ? QString::number(*row.resistanceKohm) : QString(),
                             Cell(row.switchValue),
                             QString::fromStdString(row.verdict),
                             QString::fromStdString(row.message)};
  for (int column = 0; column < cells.size(); ++column) {
    auto* item = new QTableWidgetItem(cells[column]);
    item->setBackground(QColor(RowColour(row)));
    table_->setItem(at, column, item);
  }
  table_->resizeColumnsToContents();
  table_->scrollToBottom();
}

bool CommissioningWindow::SaveReport(const QString& base, CsvForm form) {
  QString why;
  if (!SaveReportCsv(report_, base + QStringLiteral(".csv"), form, &why) ||
      !SaveReportPdf(report_, base + QStringLiteral(".pdf"))) {
    status_->setText(
        QCoreApplication::translate("dornvel::CommissioningWindow", "Cannot save the report %1: %2").arg(base, why));
    return false;
  }
  status_->setText(
      QCoreApplication::translate("dornvel::CommissioningWindow", "Report saved: %1.csv, %1.pdf").arg(base));
  return true;
}

void CommissioningWindow::done(int result) {
  if (file_ && !running_) {
    QString base = QString::fromStdString(file_->Path().string());
    base.chop(4);  // ".csv"
    SaveReportPdf(report_, base + QStringLiteral(".pdf"));
  }
  QDialog::done(result);
}

void CommissioningWindow::AskToSave() {
  const QStringList forms = CsvFormFilters();
  QString form = forms.first();
  QString path =
      QFileDialog::getSaveFileName(this, QCoreApplication::translate("dornvel::CommissioningWindow", "Save report"),
                                   folder_->text(), forms.join(QStringLiteral(";;")), &form);
  if (path.isEmpty()) return;
  if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) path.chop(4);
  SaveReport(path, CsvFormOfFilter(form));
}

}  // namespace dornvel
