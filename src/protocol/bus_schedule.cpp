#include "protocol/bus_schedule.h"

#include <algorithm>

#include "protocol/byte_image.h"
#include "protocol/crc.h"
#include "protocol/error_texts.h"
#include "protocol/event_pump.h"
#include "protocol/function_codes.h"
#include "protocol/line_settings.h"
#include "protocol/reply_framing.h"
#include "protocol/reply_parser.h"
#include "protocol/serial_control.h"

namespace dornvel {

namespace {

// The bus view builds and checks its frames inside its event handlers: no
// other event may run in the middle.
class NoEvents final : public EventPump {
 public:
  void ProcessEvents() override {}
  void WaitForEvents(Duration) override {}
};

// The port is tried again this long after it would not open.
constexpr Duration kPortRetry = 1s;
// A USB serial adapter holds received bytes for up to 16 ms (the FTDI chips'
// default latency timer) before it hands them on.
constexpr Duration kAdapterLatency = 16ms;
constexpr std::uint8_t kIllegalDataAddress = 2;
constexpr std::uint8_t kIllegalDataValue = 3;

Duration CharacterTime(int baud) { return MeterLine(baud).CharacterTime(); }

// Before the next request the line stays quiet for 3.5 characters, so that
// every slave has seen the end of the frame before: 4.0 ms at 9600 baud, 2.0 ms
// at 19200.
Duration FrameGap(int baud) { return CharacterTime(baud) * 7 / 2; }

// From a reply's first byte to its last: a read of n registers is answered by
// 5 + 2n bytes, and Modbus lets a sender pause up to 1.5 characters between
// characters, so 2.5 character times a byte after the first, and the adapter
// may hold the last ones back: 45 ms for three registers at 9600 baud.
Duration RestOfReplyWait(int baud, std::uint16_t registers) {
  return CharacterTime(baud) * (2 * registers + 4) * 5 / 2 + kAdapterLatency;
}

// Input registers `first` to `first + count - 1` of `slave`; the tags' builder
// knows only reads of one value.
Bytes ReadInputs(int slave, std::uint16_t first, std::uint16_t count) {
  Bytes frame{static_cast<std::uint8_t>(slave),      function_code::kReadInputRegisters,
              static_cast<std::uint8_t>(first >> 8), static_cast<std::uint8_t>(first & 0xFF),
              static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count & 0xFF)};
  NoEvents noEvents;
  Crc crc;
  CrcInit(crc);
  for (std::uint8_t byte : frame) CrcUpdate(crc, byte, noEvents);
  frame.push_back(crc.CrcLo);
  frame.push_back(crc.CrcHi);
  return frame;
}

std::uint8_t ErrorOf(const ParsedReply& parsed) {
  switch (parsed.outcome) {
    case ReplyOutcome::BadCrc: return kBadCrcError;
    case ReplyOutcome::ForeignSlave: return kForeignSlaveError;
    case ReplyOutcome::Exception: return parsed.code;
    case ReplyOutcome::NotAnAnswer:
    case ReplyOutcome::Good: break;
  }
  return kNotAnAnswerError;
}

}  // namespace

BusSchedule::BusSchedule(std::vector<MeterAddress> meters) {
  for (const MeterAddress& meter : meters) {
    BusMeterState state;
    state.address = meter;
    meters_.push_back(state);
  }
  retryAt_.resize(meters_.size());
  firstByteAfter_.resize(meters_.size());
}

TimePoint BusSchedule::Run(Line::Hold& hold, TimePoint now) {
  SerialControl& port = hold.TheLine().Port();
  if (!ordered_) {
    // The rate the port is at goes first: one change of rate fewer.
    const int first = hold.Rate();
    for (int pass = 0; pass < 2; ++pass) {
      for (std::size_t i = 0; i < meters_.size(); ++i) {
        if ((meters_[i].address.baudRate == first) == (pass == 0)) order_.push_back(i);
      }
    }
    ordered_ = true;
  }
  while (true) {
    switch (phase_) {
      case Phase::Awaiting:
        if (!Collect(port, now)) return deadline_;
        break;
      case Phase::Resting:
        if (now < quietUntil_) return quietUntil_;
        if (requests_.empty()) {
          phase_ = Phase::Choosing;
        } else {
          Send(port, now);
        }
        break;
      case Phase::Choosing: {
        if (portFailed_ && now < portRetryAt_) return portRetryAt_;
        const auto next = NextDue(now);
        if (!next) return EarliestRetry();
        const int rate = meters_[*next].address.baudRate;
        // Meters at the new rate heard the last frame as noise, and need the
        // quiet of 3.5 characters at their own rate after it too.
        if (lastRate_ != 0 && now < lastFrameEnd_ + FrameGap(std::min(rate, lastRate_))) {
          cursor_ = (cursor_ + order_.size() - 1) % order_.size();
          return lastFrameEnd_ + FrameGap(std::min(rate, lastRate_));
        }
        if (!port.PortOpen() || hold.Rate() != rate) {
          if (!hold.OpenAt(rate)) {
            NotePortFailed(true);
            cursor_ = (cursor_ + order_.size() - 1) % order_.size();  // this meter again, next time
            portRetryAt_ = now + kPortRetry;
            return portRetryAt_;
          }
        }
        NotePortFailed(false);
        StartPoll(*next);
        Send(port, now);
        break;
      }
    }
  }
}

void BusSchedule::NotePortFailed(bool failed) {
  if (failed == portFailed_) return;
  portFailed_ = failed;
  if (onPortChanged) onPortChanged();
}

std::optional<std::size_t> BusSchedule::NextDue(TimePoint now) {
  for (std::size_t step = 0; step < order_.size(); ++step) {
    const std::size_t meter = order_[cursor_];
    cursor_ = (cursor_ + 1) % order_.size();
    if (meters_[meter].missedInARow < kMissesBeforeDead || now >= retryAt_[meter]) return meter;
  }
  return std::nullopt;
}

TimePoint BusSchedule::EarliestRetry() const {
  // Only dead meters are left, each waiting for its retry.
  return *std::min_element(retryAt_.begin(), retryAt_.end());
}

void BusSchedule::StartPoll(std::size_t meter) {
  current_ = meter;
  const BusMeterState& state = meters_[meter];
  const int slave = state.address.slave;
  requests_.clear();
  if (state.readsApart) {
    requests_.push_back({ReadInputs(slave, 0, 2), 0, 2});
    requests_.push_back({ReadInputs(slave, 2, 1), 2, 1});
  } else {
    requests_.push_back({ReadInputs(slave, 0, meter::kMeasurementRegisters), 0, meter::kMeasurementRegisters});
  }
  resistance_.reset();
  switch_.reset();
}

void BusSchedule::Send(SerialControl& port, TimePoint now) {
  // What is still waiting is a late answer to an earlier poll, or noise.
  port.Input();
  const Bytes& frame = requests_.front().frame;
  port.SetOutput(frame);
  port.Trace(TraceDirection::Request, "bus", frame);
  input_.clear();
  echoLeftOut_ = false;
  echoed_ = false;
  replyStarted_ = false;
  sentAt_ = now;
  deadline_ = now + kBusFirstByteWait;
  phase_ = Phase::Awaiting;
}

bool BusSchedule::Collect(SerialControl& port, TimePoint now) {
  const Bytes more = port.Input();
  input_.insert(input_.end(), more.begin(), more.end());
  const Request& request = requests_.front();
  // An echoing adapter hands back the request first; its copy is left out once
  // the input is seen to be more than the request so far.
  if (!echoLeftOut_ && !input_.empty()) {
    if (!OnlyEchoSoFar(input_, request.frame)) {
      const std::size_t echo = EchoLength(input_, request.frame);
      input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(echo));
      echoLeftOut_ = true;
      echoed_ = echo > 0;
    } else if (input_.size() == request.frame.size()) {
      echoed_ = true;
      // The whole echo, and nothing after it yet: the reply's first byte is
      // due as before.
      input_.clear();
      echoLeftOut_ = true;
      replyStarted_ = false;
      deadline_ = sentAt_ + kBusFirstByteWait;
    }
  }
  const auto length = ExpectedReplyLength(input_);
  if (!replyStarted_ && !input_.empty()) {
    replyStarted_ = true;
    deadline_ = now + RestOfReplyWait(meters_[current_].address.baudRate, request.count);
    LearnFirstByte(now, length);
  }
  if (echoLeftOut_ && length && input_.size() >= *length) {
    input_.resize(*length);
    if (!more.empty()) port.Trace(TraceDirection::Reply, "bus", input_);
    Judge(now);
    return true;
  }
  if (now < deadline_) return false;
  if (!input_.empty()) port.Trace(TraceDirection::Reply, "bus", input_);
  // Only the echo, or nothing at all: the meter did not answer.
  if (!echoLeftOut_ || input_.empty()) {
    EndPoll(BusPollEnd::Silent, 0, now);
  } else {
    EndPoll(BusPollEnd::Refused, kNotAnAnswerError, now);
  }
  return true;
}

std::optional<TimePoint> BusSchedule::ReplyAllButLastIn(TimePoint now) const {
  if (phase_ != Phase::Awaiting) return std::nullopt;
  const Request& request = requests_.front();
  const std::size_t in = input_.size();
  // Until its length shows, the reply is taken for the registers asked (an
  // exception, 5 bytes, is then seen a few characters late).
  const std::size_t asked = reply_size::kFrameOverhead + 1 + 2 * std::size_t{request.count};
  const Duration character = CharacterTime(meters_[current_].address.baudRate);
  if (input_.empty()) {
    // Nothing yet: from when the meter's first byte came after a request
    // before, with a quarter of a character more, so that a look a little
    // late still finds the last byte missing.
    const auto& after = firstByteAfter_[current_];
    // After a whole echo, the reply's first byte is watched for.
    if (!after || echoLeftOut_) return std::nullopt;
    const TimePoint at = sentAt_ + *after + character * static_cast<Duration::rep>(asked - 2) + character / 4;
    return at > now ? std::optional(at) : std::nullopt;
  }
  const std::size_t length = ExpectedReplyLength(input_).value_or(std::max(asked, in + 1));
  std::optional<std::size_t> due;
  // A length already reached while the echo is unresolved is no reply
  // (Collect would have judged it otherwise).
  if (length > in) due = length - in;
  const std::size_t echo = request.frame.size();
  if (!echoLeftOut_ && in < echo) {
    // Or the adapter's echo, then the reply.
    const std::size_t echoThenReply = echo - in + asked;
    due = due ? std::min(*due, echoThenReply) : echoThenReply;
  }
  if (!due || *due < 2) return std::nullopt;
  return now + character * static_cast<Duration::rep>(*due - 1);
}

void BusSchedule::LearnFirstByte(TimePoint now, std::optional<std::size_t> length) {
  // An echo hides when the meter began; a first look that finds more than one
  // byte cannot tell when the first came.
  if (echoed_) return;
  std::optional<Duration>& after = firstByteAfter_[current_];
  if (input_.size() == 1) {
    after = now - sentAt_;
  } else if (length && input_.size() >= *length) {
    // The look came after the whole reply: the meter has grown quicker. The
    // next poll watches the line for its first byte again.
    after.reset();
  }
}

void BusSchedule::Judge(TimePoint now) {
  const Request request = requests_.front();
  const bool resistance = request.firstRegister == meter::kResistance.regAddress;
  const TagDefinition tag{static_cast<std::uint8_t>(meters_[current_].address.slave), InputRegisters,
                          request.firstRegister, resistance ? FloatType : IntegerType};
  NoEvents noEvents;
  const ParsedReply parsed = ParseReply(input_, request.frame, std::nullopt, tag, noEvents);
  if (parsed.outcome == ReplyOutcome::Exception && request.count == meter::kMeasurementRegisters &&
      (parsed.code == kIllegalDataAddress || parsed.code == kIllegalDataValue)) {
    // It answers reads of one value only: from now on two requests a poll.
    meters_[current_].readsApart = true;
    StartPoll(current_);
    phase_ = Phase::Resting;
    quietUntil_ = now + FrameGap(meters_[current_].address.baudRate);
    return;
  }
  if (parsed.outcome != ReplyOutcome::Good || !parsed.value) {
    EndPoll(BusPollEnd::Refused, ErrorOf(parsed), now);
    return;
  }
  if (resistance) {
    resistance_ = static_cast<float>(*parsed.value->Number());
    if (request.count == meter::kMeasurementRegisters) {
      // Register 2 follows the float's two: data bytes 5 and 6, high first.
      const std::uint8_t image[2] = {input_[8], input_[7]};
      switch_ = BytesToInteger(image);
    }
  } else {
    switch_ = static_cast<int>(*parsed.value->Number());
  }
  requests_.erase(requests_.begin());
  if (requests_.empty()) {
    EndPoll(BusPollEnd::Answered, 0, now);
    return;
  }
  phase_ = Phase::Resting;
  quietUntil_ = now + FrameGap(meters_[current_].address.baudRate);
}

void BusSchedule::EndPoll(BusPollEnd end, std::uint8_t error, TimePoint now) {
  BusMeterState& meter = meters_[current_];
  meter.lastEnd = end;
  meter.lastError = error;
  switch (end) {
    case BusPollEnd::Answered:
      ++meter.good;
      meter.missedInARow = 0;
      meter.resistanceKohm = resistance_;
      meter.switchValue = switch_;
      meter.readAt = now;
      break;
    case BusPollEnd::Silent:
      ++meter.timeouts;
      if (++meter.missedInARow >= kMissesBeforeDead) retryAt_[current_] = now + kDeadRetryInterval;
      break;
    case BusPollEnd::Refused:
    case BusPollEnd::NotYet:
      ++meter.badReplies;
      meter.missedInARow = 0;
      break;
  }
  requests_.clear();
  phase_ = Phase::Resting;
  quietUntil_ = now + FrameGap(meter.address.baudRate);
  lastFrameEnd_ = now;
  lastRate_ = meter.address.baudRate;
  if (onPolled) onPolled(current_);
}

}  // namespace dornvel
