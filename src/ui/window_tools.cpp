#include "ui/window_tools.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFont>
#include <QKeySequence>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "protocol/serial_control.h"
#include "readings/csv_recorder.h"
#include "tags/mb_collection.h"
#include "ui/bus_window.h"
#include "ui/census_dialog.h"
#include "ui/commissioning_window.h"
#include "ui/dialogs.h"
#include "ui/form_main.h"
#include "ui/meter_search_dialog.h"
#include "ui/recording_form.h"
#include "ui/trend_window.h"

namespace dornvel {

namespace {

constexpr int kStatusPanel = 1;
const QString kRecordingMark = QStringLiteral("REC");

// Panel 1 while it is free: where the tools are, since nothing else on the
// window shows them.
QString ToolsHint() { return QCoreApplication::translate("dornvel::WindowTools", "Right click: tools"); }
QString ToolsList() {
  return QCoreApplication::translate("dornvel::WindowTools",
                                     "A right click on the window opens its tools:\n"
                                     "Find the meter… (Ctrl+F)\nMeters on the line… (Ctrl+L)\n"
                                     "Record readings… (Ctrl+R)\nTrend… (Ctrl+T)\nCommission meters…");
}

QAction* AddAction(FormMain& window, const QString& text, const QKeySequence& keys) {
  auto* action = new QAction(text, &window);
  action->setShortcut(keys);
  window.addAction(action);
  return action;
}

}  // namespace

WindowTools::WindowTools(FormMain& window, ProtocolServices services, Dialogs& dialogs, YesNoQuestion& question)
    : QObject(&window),
      window_(window),
      services_(services),
      dialogs_(dialogs),
      question_(question),
      trend_(new TrendWindow(&window)),
      census_(new CensusDialog(window, &window)),
      find_(AddAction(window, QCoreApplication::translate("dornvel::WindowTools", "Find the meter…"),
                      QKeySequence(Qt::CTRL | Qt::Key_F))),
      censusAction_(AddAction(window, QCoreApplication::translate("dornvel::WindowTools", "Meters on the line…"),
                              QKeySequence(Qt::CTRL | Qt::Key_L))),
      record_(AddAction(window, QCoreApplication::translate("dornvel::WindowTools", "Record readings…"),
                        QKeySequence(Qt::CTRL | Qt::Key_R))),
      trendAction_(AddAction(window, QCoreApplication::translate("dornvel::WindowTools", "Trend…"),
                             QKeySequence(Qt::CTRL | Qt::Key_T))),
      commission_(AddAction(window, QCoreApplication::translate("dornvel::WindowTools", "Commission meters…"),
                            QKeySequence())) {
  // A right click on the window, or on a frame or label (which pass it on),
  // shows these actions; the value boxes keep their own menu.
  window.setContextMenuPolicy(Qt::ActionsContextMenu);
  record_->setCheckable(true);
  connect(find_, &QAction::triggered, this, &WindowTools::FindMeter);
  connect(censusAction_, &QAction::triggered, this, &WindowTools::ListMeters);
  census_->onWatchAll = [this](const std::vector<CensusEntry>& found) {
    std::vector<MeterAddress> meters;
    for (const CensusEntry& entry : found) meters.push_back(entry.meter);
    OpenBusView(window_, std::move(meters), std::exchange(busRecordFile_, QString()));
  };
  connect(record_, &QAction::triggered, this, &WindowTools::ToggleRecording);
  connect(trendAction_, &QAction::triggered, this, &WindowTools::ShowTrend);
  connect(commission_, &QAction::triggered, this, &WindowTools::ShowCommissioning);
  connect(&window, &FormMain::tickFinished, this, &WindowTools::AfterTick);
  // The panel is narrow: the hint takes two lines of a smaller font.
  QLabel* panel = window.Panel(kStatusPanel);
  QFont small = panel->font();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  panel->setFont(small);
  panel->setWordWrap(true);
  panel->setText(ToolsHint());
  panel->setToolTip(ToolsList());
}

WindowTools::~WindowTools() = default;

bool WindowTools::StartRecording(const QString& path) { return StartRecording(path, LocaleCsvForm()); }

bool WindowTools::StartRecording(const QString& path, CsvForm form) {
  auto recorder = std::make_unique<CsvRecorder>(path.toStdString(), form, CsvColumnNames());
  if (!recorder->Ok()) {
    dialogs_.MsgBox(QCoreApplication::translate("dornvel::WindowTools", "Cannot record readings to %1: %2")
                        .arg(path, QString::fromStdString(recorder->Failure())));
    record_->setChecked(false);
    return false;
  }
  recorder_ = std::move(recorder);
  record_->setChecked(true);
  window_.Panel(kStatusPanel)->setText(kRecordingMark);
  return true;
}

void WindowTools::StopRecording() {
  recorder_.reset();
  record_->setChecked(false);
  window_.Panel(kStatusPanel)->setText(ToolsHint());
}

void WindowTools::ToggleRecording() {
  if (Recording()) {
    StopRecording();
    return;
  }
  record_->setChecked(false);
  window_.BetweenTicks([this] {
    if (Recording()) return;
    // An existing file is appended to, so choosing one is no overwriting.
    const QStringList forms = CsvFormFilters();
    QString form = forms.first();
    const QString path = QFileDialog::getSaveFileName(
        &window_, QCoreApplication::translate("dornvel::WindowTools", "Record readings"), QString(),
        forms.join(QStringLiteral(";;")), &form, QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty()) StartRecording(path, CsvFormOfFilter(form));
  });
}

void WindowTools::AfterTick() {
  if (!window_.Tags()) return;  // the window has closed
  const Reading reading = window_.LastReading();
  trend_->Append(reading);
  if (recorder_ && !recorder_->Record(reading)) {
    const QString why =
        QCoreApplication::translate("dornvel::WindowTools", "Recording stopped: cannot write %1: %2")
            .arg(QString::fromStdString(recorder_->Path().string()), QString::fromStdString(recorder_->Failure()));
    StopRecording();
    // Shown once the timer's handler, which runs this, has returned.
    QTimer::singleShot(0, this, [this, why] { window_.BetweenTicks([this, why] { dialogs_.MsgBox(why); }); });
  }
}

void WindowTools::FindMeter() {
  if (search_) return;
  search_ = std::make_unique<MeterSearchDialog>(&window_);
  if (window_.TickRunning()) search_->ShowWaitingForPoll();
  window_.WhenLineFree([this] { Search(); });
}

void WindowTools::Search() {
  if (search_->Cancelled()) {
    search_.reset();
    return;
  }
  const SearchResult result = search_->Run(window_.CommLine(), services_, window_.MeterInUse());
  search_.reset();
  const auto meter = AskToUse(result, window_.MSComm(), dialogs_, question_);
  if (meter) window_.UseMeter(*meter);
}

void WindowTools::ListMeters() {
  if (census_->Running() || census_->isVisible()) {
    census_->raise();
    return;
  }
  census_->ShowWaitingForPoll();
  window_.WhenLineFree([this] { census_->Run(); });
}

void WindowTools::WatchAll(const QString& recordFile) {
  busRecordFile_ = recordFile;
  census_->watchAllWhenDone = true;
  ListMeters();
}

void WindowTools::ShowTrend() {
  trend_->show();
  trend_->raise();
  trend_->activateWindow();
}

void WindowTools::ShowCommissioning() {
  if (!commissioning_) {
    commissioning_ = new CommissioningWindow(window_, window_.Settings(), &window_);
    // One above the highest id of the last census, or of the last report.
    int taken = 0;
    for (const CensusEntry& entry : census_->Meters()) taken = std::max(taken, entry.meter.slave);
    if (taken > 0) commissioning_->ProposeAbove(taken);
  }
  commissioning_->show();
  commissioning_->raise();
  commissioning_->activateWindow();
}

}  // namespace dornvel
