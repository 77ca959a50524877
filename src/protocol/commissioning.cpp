#include "protocol/commissioning.h"

#include <algorithm>

#include "protocol/line_request.h"
#include "protocol/lone_meter_check.h"
#include "protocol/probe_timing.h"
#include "protocol/reply_parser.h"
#include "protocol/request_frames.h"
#include "protocol/serial_control.h"

namespace dornvel {

namespace {

using namespace probe_timing;

// The Modbus exception a meter answers a write of its settings with while its
// jumper JP is not set: "illegal function".
constexpr std::uint8_t kJumperMissing = 1;
// Before each request of the sequence the line rests as long as polling takes
// to see the end of a reply, so the meter takes it as a request of its own.
constexpr Duration kRestBeforeRequest = kRestBeforeAskingAgain;
// The resistance is read this often; the median of the readings is reported.
constexpr int kResistanceReadings = 3;

enum class Sent { Good, Refused, Lost, PortLost, Cancelled };

struct Exchanged {
  Sent sent = Sent::Lost;
  ParsedReply parsed;
};

class Commissioner {
 public:
  Commissioner(Line::Hold& hold, ProtocolServices services, MeterAddress target, const CommissioningHooks& hooks)
      : hold_(hold), services_(services), hooks_(hooks) {
    result_.target = target;
  }

  Commissioning Run(MeterAddress expected) {
    const MeterAddress target = result_.target;
    if (!meter::IsSlaveId(target.slave) || !meter::IsRate(target.baudRate)) {
      return Ended(CommissioningOutcome::BadTarget);
    }
    if (!Timed(CommissioningStep::Find, [&] { return Find(expected); })) return result_;
    if (!Timed(CommissioningStep::LoneMeterCheck, [&] { return CheckAlone(); })) return result_;
    const MeterAddress found = *result_.found;
    const MeterAddress newIdOldRate{target.slave, found.baudRate};
    if (!Timed(CommissioningStep::WriteId, [&] {
          return Write(CommissioningStep::WriteId, found, meter::kSlaveId, target.slave, newIdOldRate, {found});
        })) {
      return result_;
    }
    if (!Timed(CommissioningStep::WriteRate, [&] {
          return Write(CommissioningStep::WriteRate, newIdOldRate, meter::kBaudRate, target.baudRate, target,
                       {newIdOldRate, found});
        })) {
      return result_;
    }
    if (!Timed(CommissioningStep::Verify, [&] { return Verify(); })) return result_;
    Timed(CommissioningStep::Readings, [&] { return ReadValues(); });
    return Ended(CommissioningOutcome::Verified);
  }

 private:
  template <class StepFn>
  bool Timed(CommissioningStep step, StepFn run) {
    if (hooks_.onStep) hooks_.onStep(step);
    const TimePoint start = services_.clock.Now();
    const bool done = run();
    result_.steps.push_back({step, services_.clock.Now() - start});
    if (hooks_.onStepDone) hooks_.onStepDone(result_.steps.back());
    return done;
  }

  bool Find(MeterAddress expected) {
    SearchHooks search;
    search.onProbe = hooks_.onProbe;
    search.cancelled = hooks_.cancelled;
    const SearchResult found = SearchForMeter(hold_, services_, expected, search);
    switch (found.outcome) {
      case SearchOutcome::Found: result_.found = result_.answersAt = result_.lastKnown = found.meter; return true;
      case SearchOutcome::NothingFound: return Fail(CommissioningOutcome::NoMeter);
      case SearchOutcome::Cancelled: return Fail(CommissioningOutcome::Cancelled);
      case SearchOutcome::PortUnavailable:
      case SearchOutcome::PortBusy: return Fail(CommissioningOutcome::PortUnavailable);
    }
    return false;
  }

  bool CheckAlone() {
    const MeterAddress found = *result_.found;
    const OtherMeters others = OtherMetersAt(hold_, services_, found.baudRate, found.slave, hooks_.cancelled);
    result_.otherIds = others.ids;
    if (!others.ids.empty()) return Fail(CommissioningOutcome::SeveralMeters);
    switch (others.end) {
      case OtherMeters::End::Done: return true;
      case OtherMeters::End::Cancelled: return Fail(CommissioningOutcome::Cancelled);
      case OtherMeters::End::PortLost: return Fail(CommissioningOutcome::PortUnavailable);
    }
    return false;
  }

  // Writes `value` into `reg` of the meter at `at`; it is to answer at `after`
  // from then on. When the reply does not come, the meter is looked for at
  // `after` and then at `before`, and the sequence goes on when it has taken
  // the write.
  bool Write(CommissioningStep step, MeterAddress at, const meter::Register& reg, int value, MeterAddress after,
             const std::vector<MeterAddress>& before) {
    const TagDefinition tag = meter::Definition(reg, static_cast<std::uint8_t>(at.slave));
    const Exchanged written =
        Exchange(at, tag, BuildWriteRequest(tag, Value(static_cast<double>(value)), services_.pump));
    switch (written.sent) {
      case Sent::Good: result_.answersAt = result_.lastKnown = after; return true;
      case Sent::Refused:
        result_.exceptionCode = written.parsed.code;
        return NotVerified(step, written.parsed.code == kJumperMissing ? CommissioningFailure::JumperNotSet
                                                                       : CommissioningFailure::WriteRefused);
      case Sent::PortLost: return NotVerified(step, CommissioningFailure::PortLost);
      case Sent::Cancelled: return NotVerified(step, CommissioningFailure::Cancelled);
      case Sent::Lost: break;
    }
    std::vector<MeterAddress> places{after};
    places.insert(places.end(), before.begin(), before.end());
    if (Locate(places) == after) {
      result_.repliesLost.push_back(step);
      return true;
    }
    return NotVerified(step, CommissioningFailure::ReplyLost);
  }

  // Holding registers 0 and 1 read back at the new settings; a meter that
  // does not answer there is looked for at the old ones.
  bool Verify() {
    const MeterAddress target = result_.target;
    const auto id = ReadRegister(target, meter::kSlaveId);
    const auto rate = id ? ReadRegister(target, meter::kBaudRate) : std::nullopt;
    if (id && rate) {
      if (*id == target.slave && *rate == target.baudRate) return true;
      return NotVerified(CommissioningStep::Verify, CommissioningFailure::ReadBackDiffers);
    }
    const MeterAddress found = *result_.found;
    Locate({target, {target.slave, found.baudRate}, found, {found.slave, target.baudRate}});
    return NotVerified(CommissioningStep::Verify, CommissioningFailure::NotAtNewSettings);
  }

  bool ReadValues() {
    const MeterAddress target = result_.target;
    std::vector<float> readings;
    for (int i = 0; i < kResistanceReadings; ++i) {
      const TagDefinition tag = meter::Definition(meter::kResistance, static_cast<std::uint8_t>(target.slave));
      const Exchanged read = Exchange(target, tag, BuildReadRequest(tag, services_.pump));
      if (read.sent == Sent::Good && read.parsed.value) {
        readings.push_back(static_cast<float>(read.parsed.value->Number().value_or(0)));
      }
    }
    if (!readings.empty()) {
      std::ranges::sort(readings);
      const std::size_t middle = readings.size() / 2;
      result_.resistanceKohm =
          readings.size() % 2 == 1 ? readings[middle] : (readings[middle - 1] + readings[middle]) / 2;
    }
    result_.switchValue = ReadRegister(target, meter::kSwitch);
    return true;
  }

  // Where among `places` the meter answers a read of its slave id; none when nowhere.
  std::optional<MeterAddress> Locate(std::vector<MeterAddress> places) {
    std::vector<MeterAddress> asked;
    for (const MeterAddress& place : places) {
      if (std::ranges::find(asked, place) != asked.end()) continue;
      asked.push_back(place);
      if (ReadRegister(place, meter::kSlaveId)) {
        result_.answersAt = result_.lastKnown = place;
        return place;
      }
    }
    result_.answersAt.reset();
    result_.answersNowhere = true;
    return std::nullopt;
  }

  std::optional<int> ReadRegister(MeterAddress at, const meter::Register& reg) {
    const TagDefinition tag = meter::Definition(reg, static_cast<std::uint8_t>(at.slave));
    const Exchanged read = Exchange(at, tag, BuildReadRequest(tag, services_.pump));
    if (read.sent != Sent::Good || !read.parsed.value) return std::nullopt;
    return static_cast<int>(read.parsed.value->Number().value_or(0));
  }

  // One request to the meter at `at`, as patiently as polling waits.
  Exchanged Exchange(MeterAddress at, const TagDefinition& tag, const Bytes& request) {
    if ((hold_.Rate() != at.baudRate || !hold_.TheLine().Port().PortOpen()) && !hold_.OpenAt(at.baudRate)) {
      return {Sent::PortLost, {}};
    }
    if (!Rest(hold_, services_, kRestBeforeRequest, hooks_.cancelled)) return {Interrupted(), {}};
    const Answer answer = Ask(hold_, services_, request, PatientAsk(at.baudRate), hooks_.cancelled, "commission");
    switch (answer.end) {
      case AskEnd::Cancelled: return {Sent::Cancelled, {}};
      case AskEnd::PortLost: return {Sent::PortLost, {}};
      case AskEnd::Silent:
      case AskEnd::Garbled: return {Sent::Lost, {}};
      case AskEnd::Whole: break;
    }
    Exchanged exchanged{Sent::Lost, ParseReply(answer.reply, request, std::nullopt, tag, services_.pump)};
    if (exchanged.parsed.outcome == ReplyOutcome::Good) exchanged.sent = Sent::Good;
    if (exchanged.parsed.outcome == ReplyOutcome::Exception) exchanged.sent = Sent::Refused;
    return exchanged;
  }

  Sent Interrupted() const { return hooks_.cancelled && hooks_.cancelled() ? Sent::Cancelled : Sent::PortLost; }

  bool Fail(CommissioningOutcome outcome) {
    result_.outcome = outcome;
    return false;
  }

  bool NotVerified(CommissioningStep step, CommissioningFailure failure) {
    result_.failure = failure;
    result_.failedStep = step;
    return Fail(CommissioningOutcome::NotVerified);
  }

  Commissioning Ended(CommissioningOutcome outcome) {
    result_.outcome = outcome;
    return result_;
  }

  Line::Hold& hold_;
  ProtocolServices services_;
  const CommissioningHooks& hooks_;
  Commissioning result_;
};

}  // namespace

Commissioning Commission(Line::Hold& hold, ProtocolServices services, MeterAddress target,
                         const CommissioningHooks& hooks, MeterAddress expected) {
  return Commissioner(hold, services, target, hooks).Run(expected);
}

int ExitStatusOf(const Commissioning& result) {
  switch (result.outcome) {
    case CommissioningOutcome::Verified: return 0;
    case CommissioningOutcome::BadTarget: return 2;
    case CommissioningOutcome::NoMeter:
    case CommissioningOutcome::SeveralMeters: return 3;
    case CommissioningOutcome::NotVerified:
    case CommissioningOutcome::Cancelled:
    case CommissioningOutcome::PortUnavailable: return 1;
  }
  return 1;
}

Verdict Judge(std::optional<float> resistanceKohm, std::optional<double> prewarningKohm,
              std::optional<double> alarmKohm) {
  if (!resistanceKohm || (!prewarningKohm && !alarmKohm)) return Verdict::None;
  if (alarmKohm && *resistanceKohm < *alarmKohm) return Verdict::Fail;
  if (prewarningKohm && *resistanceKohm < *prewarningKohm) return Verdict::Warning;
  return Verdict::Pass;
}

}  // namespace dornvel
