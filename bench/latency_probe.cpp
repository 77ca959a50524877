#include "bench/latency_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace dornvel::bench {

namespace {

using SteadyTime = std::chrono::steady_clock;

constexpr int kPostingIntervalMs = 5;

const QEvent::Type kStampedType = static_cast<QEvent::Type>(QEvent::registerEventType());

struct StampedEvent final : QEvent {
  StampedEvent() : QEvent(kStampedType) {}
  const SteadyTime::time_point posted = SteadyTime::now();
};

}  // namespace

// Lives in the window's thread; only that thread touches `longestMs`.
class LatencyProbe::Receiver final : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() != kStampedType) return QObject::event(event);
    const auto waited = SteadyTime::now() - static_cast<StampedEvent*>(event)->posted;
    longestMs = std::max(longestMs, std::chrono::duration<double, std::milli>(waited).count());
    return true;
  }
  double longestMs = 0;
};

LatencyProbe::LatencyProbe() : receiver_(std::make_unique<Receiver>()) {
  auto* timer = new QTimer;
  timer->setTimerType(Qt::PreciseTimer);
  timer->setInterval(kPostingIntervalMs);
  timer->moveToThread(&poster_);
  Receiver* receiver = receiver_.get();
  QObject::connect(timer, &QTimer::timeout, timer,
                   [receiver] { QCoreApplication::postEvent(receiver, new StampedEvent); });
  QObject::connect(&poster_, &QThread::started, timer, qOverload<>(&QTimer::start));
  QObject::connect(&poster_, &QThread::finished, timer, &QObject::deleteLater);
  poster_.start();
}

LatencyProbe::~LatencyProbe() {
  poster_.quit();
  poster_.wait();
  // Events still queued for the receiver go with it.
  QCoreApplication::removePostedEvents(receiver_.get());
}

double LatencyProbe::TakeLongestMs() {
  const double longest = receiver_->longestMs;
  receiver_->longestMs = 0;
  return longest;
}

}  // namespace dornvel::bench
