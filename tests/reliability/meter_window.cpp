#include "meter_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include <iostream>
#include <regex>

#include "platform/qt_serial_control.h"
#include "protocol/serial_control.h"
#include "tags/mb_collection.h"

namespace dornvel::reliability {

namespace {

constexpr int kLastPort = 16;
constexpr auto kHeartbeat = std::chrono::milliseconds(10);

struct ShownValue {
  const char* tag;
  const char* box;
  const char* text;
};

// 12.5 kOhm shows as 13: the box rounds halves away from zero.
constexpr ShownValue kMeterValues[] = {
    {"nolu", "nolu", "13"}, {"switch", "switch", "07"}, {"slaveid", "slaveid", "0001"}, {"boudrate", "Boudrate", "9600"}};

std::vector<std::string> MeterOptions(const e2e::TempDir& dir, const std::vector<std::string>& faults) {
  std::vector<std::string> options = {"--link", (dir / "com1").string(), "--resistance", "12.5", "--switch", "7"};
  options.insert(options.end(), faults.begin(), faults.end());
  return options;
}

}  // namespace

CapturedStderr::CapturedStderr() : previous_(std::cerr.rdbuf(text_.rdbuf())) {}

CapturedStderr::~CapturedStderr() { std::cerr.rdbuf(previous_); }

MeterWindow::MeterWindow(const std::vector<std::string>& simulatorOptions)
    : simulator_(dir_, MeterOptions(dir_, simulatorOptions)) {
  ports_.push_back(std::make_unique<testing::ScopedEnv>("DORNVEL_COM1", (dir_ / "com1").string()));
  for (int n = 2; n <= kLastPort; ++n) {
    ports_.push_back(std::make_unique<testing::ScopedEnv>("DORNVEL_COM" + std::to_string(n),
                                                          (dir_ / "no-such-port").string()));
  }
  QApplication::setQuitOnLastWindowClosed(false);
  window_ = std::make_unique<FormMain>(
      ProtocolServices{pump_, clock_},
      [](HostWindow* parent) { return std::make_unique<QtSerialControl>(parent); }, settings_, dialogs_);
  QObject::connect(window_.get(), &FormMain::tickFinished, [this] { ++ticks_; });
  QObject::connect(&heartbeat_, &QTimer::timeout, [this] {
    ++beats;
    if (window_->MSComm().TransactionInProgress) ++beatsDuringExchanges;
  });
}

MeterWindow::~MeterWindow() {
  heartbeat_.stop();
  window_.reset();
  // Whatever the window left queued must not reach it.
  QCoreApplication::processEvents();
}

void MeterWindow::Start() {
  heartbeat_.start(kHeartbeat);
  window_->Form_Load();
}

void MeterWindow::SetPollingInterval(std::chrono::milliseconds interval) {
  window_->findChild<QTimer*>(QStringLiteral("Timer1"))->setInterval(interval);
}

bool MeterWindow::RunTicksUntil(const std::function<bool()>& done, std::chrono::milliseconds within) {
  if (done()) return true;
  QEventLoop loop;
  bool held = false;
  QObject::connect(window_.get(), &FormMain::tickFinished, &loop, [&] {
    if (!done()) return;
    held = true;
    loop.quit();
  });
  QTimer::singleShot(within, &loop, &QEventLoop::quit);
  loop.exec();
  return held;
}

void MeterWindow::Close() {
  window_->close();
  heartbeat_.stop();
}

long MeterWindow::ErrorCount() const {
  const QString text = window_->Panel(3)->text();
  if (text.isEmpty()) return 0;
  bool isNumber = false;
  const long count = text.toLong(&isNumber);
  return isNumber ? count : -1;
}

std::string MeterWindow::Message() const { return window_->Panel(4)->text().toStdString(); }

std::string MeterWindow::DifferencesFromTheMeter() const {
  std::string differences;
  const QColor normal = QApplication::palette().color(QPalette::Active, QPalette::Base);
  for (const ShownValue& value : kMeterValues) {
    const auto* box = window_->findChild<QLineEdit*>(QString::fromUtf8(value.box));
    if (box->text() != QString::fromUtf8(value.text))
      differences += std::string(value.box) + " shows \"" + box->text().toStdString() + "\"; ";
    if (box->palette().color(QPalette::Base) != normal) differences += std::string(value.box) + " is grey; ";
    if (window_->Tags() == nullptr) continue;
    if (const int error = window_->Tags()->Item(std::string(value.tag)).LastError; error != 0)
      differences += std::string(value.tag) + " has LastError " + std::to_string(error) + "; ";
  }
  return differences;
}

bool MeterWindow::SimulatorReached(std::uint64_t request) const {
  const std::regex mention("request #" + std::to_string(request) + "\\b");
  return std::regex_search(simulator_.log(), mention);
}

}  // namespace dornvel::reliability
