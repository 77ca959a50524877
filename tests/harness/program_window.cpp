#include "harness/program_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include "protocol/line.h"
#include "protocol/serial_control.h"

namespace dornvel::testing {

namespace {

constexpr auto kHeartbeat = 10ms;

BoxView Box(const FormMain& window, const char* name) {
  const auto* box = window.findChild<QLineEdit*>(QString::fromUtf8(name));
  const QColor normal = QApplication::palette().color(QPalette::Active, QPalette::Base);
  return {box->text().toStdString(), box->palette().color(QPalette::Base) != normal};
}

}  // namespace

ProgramWindow::ProgramWindow(const PortDevices& ports, std::map<QString, QString> savedSettings) : ports_(ports) {
  settings_.values = std::move(savedSettings);
  QApplication::setQuitOnLastWindowClosed(false);
  window_ = MakeMainWindow({pump_, clock_}, settings_, dialogs_, dialogs_);
  QObject::connect(window_.form.get(), &FormMain::tickFinished, window_.form.get(),
                   [this] { views_.push_back(View()); });
  QObject::connect(&heartbeat_, &QTimer::timeout, [this] {
    if (window_.form->CommLine().ExchangeRunning()) ++eventsDuringExchanges_;
  });
}

ProgramWindow::~ProgramWindow() {
  Close();
  window_.form.reset();
  // Whatever the window left queued must not outlive it.
  QCoreApplication::processEvents();
}

void ProgramWindow::Start() {
  heartbeat_.start(kHeartbeat);
  window_.form->Form_Load();
}

void ProgramWindow::SetPollingInterval(Milliseconds interval) {
  window_.form->findChild<QTimer*>(QStringLiteral("Timer1"))->setInterval(interval);
}

bool ProgramWindow::RunTicks(int count, Milliseconds within) {
  const int wanted = Ticks() + count;
  return RunUntil([&] { return Ticks() >= wanted; }, within);
}

bool ProgramWindow::RunUntil(const std::function<bool()>& done, Milliseconds within) {
  QEventLoop loop;
  bool held = false;
  QObject::connect(window_.form.get(), &FormMain::tickFinished, &loop, [&] {
    if (!done()) return;
    held = true;
    loop.quit();
  });
  // Its own timer, gone with the call: a single-shot timer would stay queued
  // for the whole of `within` after each call, and calls come thousands a
  // second while ticks fail at once.
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(within);
  loop.exec();
  return held;
}

void ProgramWindow::Close() {
  heartbeat_.stop();
  if (window_.form && window_.form->isVisible()) window_.form->close();
}

WindowView ProgramWindow::View() const {
  return {Box(*window_.form, "nolu"),
          Box(*window_.form, "switch"),
          Box(*window_.form, "slaveid"),
          Box(*window_.form, "Boudrate"),
          window_.form->Panel(3)->text().toStdString(),
          window_.form->Panel(4)->text().toStdString()};
}

std::optional<long> ProgramWindow::ErrorCount() const {
  const QString text = window_.form->Panel(3)->text();
  if (text.isEmpty()) return 0;
  bool isNumber = false;
  const long count = text.toLong(&isNumber);
  if (!isNumber) return std::nullopt;
  return count;
}

std::string ProgramWindow::Message() const { return window_.form->Panel(4)->text().toStdString(); }

}  // namespace dornvel::testing
