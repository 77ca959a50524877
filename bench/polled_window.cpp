#include "polled_window.h"

#include <QEventLoop>
#include <QLabel>
#include <QTimer>

#include <chrono>

#include "platform/qt_serial_control.h"
#include "simulated_line.h"

namespace dornvel::bench {

namespace {

using namespace std::chrono_literals;

// Far above the longest tick a hostile line can cause: four exchanges of 2.1 s.
constexpr auto kTickDeadline = 30s;

}  // namespace

PolledWindow::PolledWindow(const std::string& devicePath, const std::filesystem::path& settingsFile)
    : settings_(QtSettingsStore::File{QString::fromStdString(settingsFile.string())}),
      dialogs_(QStringLiteral("dornvel")) {
  MapPorts({devicePath});
  window_ = std::make_unique<FormMain>(
      ProtocolServices{pump_, clock_}, [](HostWindow* parent) { return std::make_unique<QtSerialControl>(parent); },
      settings_, dialogs_);
  window_->Form_Load();
  window_->findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
}

PolledWindow::~PolledWindow() { window_->close(); }

int PolledWindow::RunTicks(const std::function<bool(int)>& afterTick) {
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  int ticks = 0;
  const auto nextTick = [&] {
    deadline.start(kTickDeadline);
    QTimer::singleShot(0, window_.get(), [this] { window_->Timer1_Timer(); });
  };
  QObject::connect(window_.get(), &FormMain::tickFinished, &loop, [&] {
    if (afterTick(++ticks)) {
      nextTick();
    } else {
      loop.quit();
    }
  });
  nextTick();
  loop.exec();
  return ticks;
}

long PolledWindow::ErrorCount() const { return window_->Panel(3)->text().toLong(); }

}  // namespace dornvel::bench
