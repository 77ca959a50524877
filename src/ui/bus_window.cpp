#include "ui/bus_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <chrono>

#include "protocol/clock.h"
#include "readings/csv_recorder.h"
#include "ui/bus_table_model.h"
#include "ui/recording_form.h"
#include "ui/text_cell_delegate.h"
#include "ui/tool_host.h"

namespace dornvel {

namespace {

// The table is shown anew twice a second, not after each of up to 60 polls
// a second: painting its text costs far more than a poll.
constexpr auto kShowStep = std::chrono::milliseconds(500);

// The tool holding the line, by the name the user knows it by.
QString HolderName(const std::string& holder) {
  static const struct {
    const char* holder;
    const char* name;
  } kNames[] = {
      {"search", QT_TRANSLATE_NOOP("dornvel::BusWindow", "Find the meter")},
      {"census", QT_TRANSLATE_NOOP("dornvel::BusWindow", "Meters on the line")},
      {"bus view", QT_TRANSLATE_NOOP("dornvel::BusWindow", "Watch all")},
      {"commission", QT_TRANSLATE_NOOP("dornvel::BusWindow", "Commission meters")},
  };
  for (const auto& known : kNames) {
    if (holder == known.holder) return QCoreApplication::translate("dornvel::BusWindow", known.name);
  }
  return QCoreApplication::translate("dornvel::BusWindow", "another tool");
}

}  // namespace

BusWindow::BusWindow(std::unique_ptr<Line::Hold> hold, Clock& clock, std::vector<MeterAddress> meters,
                     const SerialControlFactory& makePort, QWidget* parent)
    : QWidget(parent, Qt::Window),
      driver_(std::make_unique<BusDriver>(std::move(hold), clock, std::move(meters), makePort)),
      meters_(driver_->TakeNews().meters),
      model_(new BusTableModel(
          meters_, [&clock] { return clock.Now(); }, this)),
      view_(new QTableView(this)),
      state_(new QLabel(this)),
      record_(new QPushButton(QCoreApplication::translate("dornvel::BusWindow", "Record…"), this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QCoreApplication::translate("dornvel::BusWindow", "Meters on the line"));
  view_->setModel(model_);
  view_->setItemDelegate(new TextCellDelegate(view_));
  view_->verticalHeader()->hide();
  view_->setSelectionMode(QAbstractItemView::NoSelection);
  record_->setCheckable(true);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(state_, 1);
  bottom->addWidget(record_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_);
  layout->addLayout(bottom);
  resize(720, 420);

  connect(record_, &QPushButton::clicked, this, &BusWindow::ToggleRecording);
  ShowTable();
  connect(&shown_, &QTimer::timeout, this, &BusWindow::ShowTable);
  shown_.start(kShowStep);
  // The main window's line goes with it: the view lets it go first.
  if (parent) parent->installEventFilter(this);

  ShowState();
}

BusWindow::~BusWindow() { StopPolling(); }

void BusWindow::StopPolling() {
  if (!driver_) return;
  for (const BusDriver::EndedPoll& poll : driver_->Stop().polls) Record(poll);
  driver_.reset();
}

bool BusWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Close) {
    StopPolling();
    close();
  }
  return false;
}

void BusWindow::Record(const BusDriver::EndedPoll& poll) {
  if (!recorder_) return;
  Reading reading;
  reading.time = poll.at;
  // Values only from this very poll: a failed one leaves its fields empty.
  if (poll.state.lastEnd == BusPollEnd::Answered) {
    reading.resistanceKohm = poll.state.resistanceKohm;
    reading.switchValue = poll.state.switchValue;
  }
  reading.message = BusPollMessage(poll.state).toStdString();
  reading.meter = Reading::Meter{poll.state.address.slave, poll.state.address.baudRate};
  if (!recorder_->Record(reading)) {
    const QString why =
        QCoreApplication::translate("dornvel::BusWindow", "Recording stopped: cannot write %1: %2")
            .arg(QString::fromStdString(recorder_->Path().string()), QString::fromStdString(recorder_->Failure()));
    StopRecording();
    state_->setText(why);
  }
}

void BusWindow::TakeNews() {
  if (!driver_) return;
  BusDriver::News news = driver_->TakeNews();
  meters_ = std::move(news.meters);
  for (const BusDriver::EndedPoll& poll : news.polls) Record(poll);
  if (news.portFailed != portFailed_) {
    portFailed_ = news.portFailed;
    ShowState();
  }
}

void BusWindow::ShowTable() {
  TakeNews();
  // Fitting measures every cell: only when a text may no longer fit, not at
  // every change as a header that fits its columns would.
  if (model_->ShowAnew()) view_->resizeColumnsToContents();
}

void BusWindow::ShowState() {
  if (portFailed_) {
    state_->setText(
        QCoreApplication::translate("dornvel::BusWindow", "The port does not open; tried again every second"));
  } else if (!recorder_) {
    state_->setText(QCoreApplication::translate("dornvel::BusWindow", "Meters polled in turn: %1").arg(meters_.size()));
  }
}

bool BusWindow::StartRecording(const QString& path, CsvForm form) {
  auto recorder = std::make_unique<CsvRecorder>(path.toStdString(), form, BusCsvColumnNames(), BusCsvRow);
  if (!recorder->Ok()) {
    state_->setText(QCoreApplication::translate("dornvel::BusWindow", "Cannot record readings to %1: %2")
                        .arg(path, QString::fromStdString(recorder->Failure())));
    record_->setChecked(false);
    return false;
  }
  recorder_ = std::move(recorder);
  if (driver_) driver_->TellEachPoll(this, [this] { TakeNews(); });
  record_->setChecked(true);
  state_->setText(QCoreApplication::translate("dornvel::BusWindow", "Recording to %1").arg(path));
  return true;
}

void BusWindow::StopRecording() {
  if (driver_) driver_->TellEachPoll(nullptr, {});
  recorder_.reset();
  record_->setChecked(false);
  ShowState();
}

void BusWindow::ToggleRecording() {
  if (recorder_) {
    StopRecording();
    return;
  }
  record_->setChecked(false);
  const QStringList forms = CsvFormFilters();
  QString form = forms.first();
  const QString path = QFileDialog::getSaveFileName(
      this, QCoreApplication::translate("dornvel::BusWindow", "Record readings"), QString(),
      forms.join(QStringLiteral(";;")), &form, QFileDialog::DontConfirmOverwrite);
  if (!path.isEmpty()) StartRecording(path, CsvFormOfFilter(form));
}

void OpenBusView(ToolHost& host, std::vector<MeterAddress> meters, const QString& recordFile) {
  host.WhenLineFree([&host, meters = std::move(meters), recordFile] {
    auto hold = host.CommLine().Take("bus view");
    if (!hold) {
      QMessageBox::information(
          host.DialogParent(), QCoreApplication::translate("dornvel::BusWindow", "Meters on the line"),
          QCoreApplication::translate("dornvel::BusWindow", "The line is in use (%1); try again once it is done.")
              .arg(HolderName(host.CommLine().Holder())));
      return;
    }
    auto* window = new BusWindow(std::move(hold), host.Services().clock, meters, host.PortMaker(), host.DialogParent());
    if (!recordFile.isEmpty()) window->StartRecording(recordFile, LocaleCsvForm());
    window->show();
  });
}

}  // namespace dornvel
