#include "ui/bus_driver.h"

#include <chrono>

#include "protocol/clock.h"
#include "protocol/serial_control.h"

namespace dornvel {

using namespace std::chrono_literals;

BusDriver::BusDriver(std::unique_ptr<Line::Hold> hold, Clock& clock, BusSchedule& schedule)
    : hold_(std::move(hold)), clock_(clock), schedule_(schedule) {
  timer_.setSingleShot(true);
  // The line's quiet between frames lasts 2 to 4 ms: a coarse timer would
  // stretch it to the next 5 % of the wait.
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &BusDriver::Wake);
  hold_->TheLine().Port().OnInputArrived([this] { Wake(); });
}

BusDriver::~BusDriver() { hold_->TheLine().Port().OnInputArrived({}); }

void BusDriver::Wake() {
  if (running_) {
    wokenMeanwhile_ = true;
    return;
  }
  running_ = true;
  TimePoint next;
  do {
    wokenMeanwhile_ = false;
    next = schedule_.Run(*hold_, clock_.Now());
  } while (wokenMeanwhile_);
  running_ = false;
  const TimePoint now = clock_.Now();
  // A reply comes a byte at a time: rather than wake for each, look again when
  // all but its last can be in (a little early rather than late: what is
  // missing then wakes the driver as it comes).
  if (const auto almost = schedule_.ReplyAllButLastIn(now); almost && *almost < next) {
    const auto untilThen = std::chrono::floor<std::chrono::milliseconds>(*almost - now);
    if (untilThen > 0ms) {
      hold_->TheLine().Port().HushInputUntilTaken();
      timer_.start(untilThen);
      return;
    }
  }
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now);
  timer_.start(std::max(wait, 0ms));
}

}  // namespace dornvel
