#include "platform/qt_event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "platform/qt_duration.h"

namespace dornvel {

void QtEventPump::ProcessEvents() {
  const auto now = std::chrono::steady_clock::now();
  if (now - lastPass_ < kShortestGap) return;
  lastPass_ = now;
  QCoreApplication::processEvents();
}

void QtEventPump::WaitForEvents(Duration limit) {
  if (limit <= Duration::zero()) {
    ProcessEvents();
    return;
  }
  // The timer's own event ends the wait when nothing else happens first.
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  deadline.start(ToQtMilliseconds(limit));
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace dornvel
