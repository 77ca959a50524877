#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "protocol/bus_meter_state.h"
#include "protocol/bytes.h"
#include "protocol/clock.h"
#include "protocol/line.h"
#include "protocol/meter_model.h"

namespace dornvel {

using namespace std::chrono_literals;

// A meter that missed this many polls in a row is taken for dead: it is
// retried kDeadRetryInterval after its last wait ended, so that it costs the
// line at most one wait of kBusFirstByteWait (1 s) per 10 s of the others'
// polling, 10 % of their refresh rate.
inline constexpr int kMissesBeforeDead = 3;
inline constexpr Duration kDeadRetryInterval = 10s;
// A slow meter may answer up to 1 s late; its poll waits that long for the
// reply's first byte, counted from handing the request to the port.
inline constexpr Duration kBusFirstByteWait = 1s;

// The bus view's polling of N meters on the one line it holds, as a state
// machine without a loop of its own: the driver calls Run when input has
// arrived and at the latest at the time Run returned, and Run does what the
// line allows at that moment (reopens the port at the next group's rate,
// sends a request, takes in a reply and judges it) without ever waiting.
//
// Order: the meters of one rate, in the order given, then those of the other
// rate, so that the port changes rate twice a round at most (the port's rate
// at the start goes first). Each meter is asked for input registers 0-2 in
// one request; one that refuses it with exception 2 or 3 is asked for the
// resistance (0-1) and the switch (2) in two requests from then on. A reply is
// whole as soon as the length its function and byte count announce is in; an
// echo of the request by the adapter is left out. After every poll the line
// stays quiet for 3.5 characters before the next request, as Modbus RTU
// separates frames.
class BusSchedule {
 public:
  explicit BusSchedule(std::vector<MeterAddress> meters);

  // Does what the line allows at `now`; returns when to be called again at the
  // latest (sooner is harmless).
  TimePoint Run(Line::Hold& hold, TimePoint now);

  // While a reply is coming in: the soonest all its bytes but the last can be
  // in, from the bytes in so far, the length they announce (else that of the
  // registers asked) and the line time of the rest. Before its first byte, the
  // same from when the meter's first byte came after its last request (learnt
  // when the driver watched the line for it), so that the driver need not
  // wake for the first byte either. Until then the driver need not look at
  // the line; the last byte is best taken as it comes, not at a timer's
  // lateness. None when only the last is due, or while the meter's timing is
  // not known.
  std::optional<TimePoint> ReplyAllButLastIn(TimePoint now) const;

  const std::vector<BusMeterState>& Meters() const { return meters_; }
  // Told after each poll, with the meter's place in Meters().
  std::function<void(std::size_t meter)> onPolled;
  // Why the port could not be used at the last attempt; false once it could.
  bool PortFailed() const { return portFailed_; }
  // Told each time PortFailed() changes.
  std::function<void()> onPortChanged;

 private:
  enum class Phase { Choosing, Awaiting, Resting };
  struct Request {
    Bytes frame;
    std::uint16_t firstRegister = 0;
    std::uint16_t count = 0;
  };

  std::optional<std::size_t> NextDue(TimePoint now);
  TimePoint EarliestRetry() const;
  void StartPoll(std::size_t meter);
  void Send(SerialControl& port, TimePoint now);
  // Takes in what arrived; true once the request's answer is judged.
  bool Collect(SerialControl& port, TimePoint now);
  void Judge(TimePoint now);
  void EndPoll(BusPollEnd end, std::uint8_t error, TimePoint now);
  void NotePortFailed(bool failed);
  // At the first look at a reply: when its first byte came after the request.
  void LearnFirstByte(TimePoint now, std::optional<std::size_t> length);

  std::vector<BusMeterState> meters_;
  std::vector<TimePoint> retryAt_;
  // From handing a meter's request to the port to its reply's first byte.
  std::vector<std::optional<Duration>> firstByteAfter_;
  // Meter places in polling order: one rate group, then the other.
  std::vector<std::size_t> order_;
  std::size_t cursor_ = 0;
  bool ordered_ = false;
  bool portFailed_ = false;
  TimePoint portRetryAt_{};

  Phase phase_ = Phase::Choosing;
  std::size_t current_ = 0;
  std::vector<Request> requests_;  // of the poll in progress, the one sent first
  std::optional<float> resistance_;
  std::optional<int> switch_;
  Bytes input_;
  bool echoLeftOut_ = false;
  bool echoed_ = false;  // the adapter echoed this request
  bool replyStarted_ = false;
  TimePoint sentAt_{};
  TimePoint deadline_{};
  TimePoint quietUntil_{};
  // The end of the last poll, and the rate it ran at (0 before the first).
  TimePoint lastFrameEnd_{};
  int lastRate_ = 0;
};

}  // namespace dornvel
