#include "protocol/meter_census.h"

#include <algorithm>
#include <array>

#include "protocol/byte_image.h"
#include "protocol/function_codes.h"
#include "protocol/line_request.h"
#include "protocol/line_settings.h"
#include "protocol/probe_timing.h"
#include "protocol/reply_parser.h"
#include "protocol/request_frames.h"
#include "protocol/serial_control.h"

namespace dornvel {

namespace {

using namespace std::chrono_literals;
using namespace probe_timing;

// A probe reads holding register 0 (the meter's own slave id), and the reply
// "id 03 02 hi lo crc crc" is 7 bytes. The read of input registers 0-2 is
// answered by 11 bytes.
constexpr int kProbeReplyBytes = 7;
constexpr int kMeasurementReplyBytes = 5 + 2 * meter::kMeasurementRegisters;

// The meter takes a request as ended after 3.5 characters of silence (4 ms at
// 9600 baud, 2 ms at 19200) and answers a one-register read a few
// milliseconds later; 20 ms is five times that end of frame. A meter slower
// than this is not lost: its reply comes during a later probe and is followed
// up.
constexpr Duration kTurnaround = 20ms;

// From sending to the first byte of a reply: the request's 8 characters on the
// line, the turnaround, the adapter's latency and the first reply character.
// 46 ms at 9600 baud and 41 ms at 19200, so the 494 probes of a line where
// nothing answers take 21.6 s, and 23.8 s with the listening at each rate's end.
Duration CensusFirstByteWait(int baud) {
  return MeterLine(baud).CharacterTime() * (kProbeBytes + 1) + kTurnaround + kAdapterLatency;
}

// From a reply's first byte to its last: Modbus lets a sender pause up to 1.5
// characters between characters, so each further character takes at most 2.5
// character times; the adapter may hold the last ones back once more. 33 ms
// for the probe's reply at 9600 baud.
Duration CensusRestOfReply(int baud, int replyBytes) {
  return MeterLine(baud).CharacterTime() * (replyBytes - 1) * 5 / 2 + kAdapterLatency;
}

// Noise that looks like a late reply must not stretch the census: at most
// this many follow-ups that find nothing, each 2.1 s or so.
constexpr int kMostFruitlessFollowUps = 4;

// Two meters sharing an id answer together and garble each other, anew each
// time: three garbled answers in a row from one id. Noise garbles one answer
// in a hundred at worst on a line fit for work, three in a row one in a
// million.
constexpr int kGarbledAnswersOfADuplicate = 3;
// The line counts as clean while at most this many other ids gave garbage
// that no late reply explains.
constexpr int kMostStrayGarbage = 3;

// What an answer to a read says about the id asked.
enum class Heard { Nothing, Meter, Exception, Garbled, Other };

struct Judged {
  Heard heard = Heard::Nothing;
  ParsedReply parsed;
};

// Whether `heard` starts as a meter's answer to a probe: a slave id, then the
// probe's function or its exception. Random noise passes one time in 130.
bool LooksLikeProbeReply(const Bytes& heard) {
  return heard.size() >= 2 && meter::IsSlaveId(heard[0]) &&
         (heard[1] & ~function_code::kExceptionBit) == function_code::kReadHoldingRegisters;
}

TagDefinition MeasurementRegisters(int slave) {
  // Three registers, read as a text of six characters would be.
  return {static_cast<std::uint8_t>(slave), InputRegisters, meter::kResistance.regAddress, TextType,
          2 * meter::kMeasurementRegisters};
}

bool IsRegisterRefusal(const ParsedReply& parsed) {
  constexpr std::uint8_t kIllegalDataAddress = 2;
  constexpr std::uint8_t kIllegalDataValue = 3;
  return parsed.outcome == ReplyOutcome::Exception &&
         (parsed.code == kIllegalDataAddress || parsed.code == kIllegalDataValue);
}

// The resistance (C D A B) and the switch, high byte first, of the reply to
// the read of input registers 0-2.
void DecodeMeasurement(const Bytes& reply, CensusEntry& entry) {
  const std::array<std::uint8_t, 4> resistance{reply[4], reply[3], reply[6], reply[5]};
  const std::array<std::uint8_t, 2> switchValue{reply[8], reply[7]};
  entry.resistanceKohm = BytesToSingle(resistance);
  entry.switchValue = BytesToInteger(switchValue);
}

enum class Stop { Cancelled, PortLost };

class CensusTaker {
 public:
  CensusTaker(Line::Hold& hold, ProtocolServices services, const CensusPlan& plan, const CensusHooks& hooks)
      : hold_(hold), services_(services), plan_(plan), hooks_(hooks) {}

  Census Run() {
    const int idsPerRate = std::max(0, plan_.lastId - plan_.firstId + 1);
    const int total = idsPerRate * static_cast<int>(plan_.rates.size());
    int number = 0;
    for (const int rate : plan_.rates) {
      if (!hold_.OpenAt(rate)) return Ended(CensusOutcome::PortUnavailable);
      for (int id = plan_.firstId; id <= plan_.lastId; ++id) {
        const MeterAddress probed{id, rate};
        if (hooks_.onProbe) hooks_.onProbe(probed, ++number, total);
        if (Cancelled()) return Ended(CensusOutcome::Cancelled);
        std::optional<Stop> stop = Probe(probed, CensusFirstByteWait(rate));
        if (!stop && id == plan_.lastId) stop = ListenForLateReplies();
        if (!stop) stop = FollowSignsOfLife(rate, number, total);
        if (stop) return Ended(*stop == Stop::Cancelled ? CensusOutcome::Cancelled : CensusOutcome::PortUnavailable);
      }
    }
    JudgeGarbledIds();
    return Ended(CensusOutcome::Done);
  }

 private:
  bool Cancelled() const { return hooks_.cancelled && hooks_.cancelled(); }

  Census Ended(CensusOutcome outcome) {
    census_.outcome = outcome;
    const auto atRate = [this](int rate) {
      return std::ranges::any_of(census_.meters, [rate](const CensusEntry& e) { return e.meter.baudRate == rate; });
    };
    census_.bothRates = std::ranges::count_if(plan_.rates, atRate) > 1;
    return std::move(census_);
  }

  // Asks `probed` for its slave id and lists what the answer shows.
  std::optional<Stop> Probe(const MeterAddress& probed, Duration firstByteWait) {
    Judged judged;
    Bytes reply;
    if (auto stop = AskSlaveId(probed, firstByteWait, judged, reply)) return stop;
    if (judged.heard == Heard::Garbled) return AskGarbledIdAgain(probed, firstByteWait, reply);
    return Settle(probed, judged, reply);
  }

  // Lists the meter or the exception heard, notes a reply from another slave.
  std::optional<Stop> Settle(const MeterAddress& probed, const Judged& judged, const Bytes& reply) {
    switch (judged.heard) {
      case Heard::Nothing: return std::nullopt;
      case Heard::Meter: return ListMeter(probed);
      case Heard::Exception:
        List({.meter = probed, .state = CensusState::Exception, .exceptionCode = judged.parsed.code});
        break;
      case Heard::Other: NoteSignOfLife(reply); break;
      case Heard::Garbled: break;
    }
    return Rest(FrameGap(probed.baudRate));
  }

  // Two meters at one id garble each other's answer every time; noise or a
  // late reply from elsewhere garbles it once.
  std::optional<Stop> AskGarbledIdAgain(const MeterAddress& probed, Duration firstByteWait, const Bytes& firstReply) {
    Judged judged{Heard::Garbled, {}};
    Bytes reply;
    for (int garbled = 1; garbled < kGarbledAnswersOfADuplicate; ++garbled) {
      if (auto stop = Rest(kRestBeforeAskingAgain)) return stop;
      if (auto stop = AskSlaveId(probed, firstByteWait, judged, reply)) return stop;
      if (judged.heard != Heard::Garbled) break;
    }
    if (judged.heard == Heard::Garbled) {
      garbledIds_.push_back(probed);
      return Rest(FrameGap(probed.baudRate));
    }
    // What garbled the first answer may have been a late reply from elsewhere.
    if (!firstReply.empty() && firstReply[0] != probed.slave && LooksLikeProbeReply(firstReply)) {
      NoteSignOfLife(firstReply);
    } else {
      ++strayGarbage_;
    }
    return Settle(probed, judged, reply);
  }

  std::optional<Stop> AskSlaveId(const MeterAddress& probed, Duration firstByteWait, Judged& judged, Bytes& reply) {
    const TagDefinition slaveId = meter::Definition(meter::kSlaveId, static_cast<std::uint8_t>(probed.slave));
    const Bytes request = BuildReadRequest(slaveId, services_.pump);
    const Answer answer =
        Ask(hold_, services_, request, {firstByteWait, CensusRestOfReply(probed.baudRate, kProbeReplyBytes)},
            hooks_.cancelled, "census");
    NoteLateReply(answer);
    reply = answer.reply;
    switch (answer.end) {
      case AskEnd::Cancelled: return Stop::Cancelled;
      case AskEnd::PortLost: return Stop::PortLost;
      case AskEnd::Silent: judged = {}; return std::nullopt;
      case AskEnd::Garbled: judged = {Heard::Garbled, {}}; return std::nullopt;
      case AskEnd::Whole: break;
    }
    judged.parsed = ParseReply(answer.reply, request, std::nullopt, slaveId, services_.pump);
    switch (judged.parsed.outcome) {
      case ReplyOutcome::Good: judged.heard = Heard::Meter; break;
      case ReplyOutcome::Exception: judged.heard = Heard::Exception; break;
      case ReplyOutcome::BadCrc: judged.heard = Heard::Garbled; break;
      case ReplyOutcome::ForeignSlave: judged.heard = Heard::Other; break;
      case ReplyOutcome::NotAnAnswer:
        judged.heard = answer.reply[0] == probed.slave ? Heard::Garbled : Heard::Other;
        break;
    }
    return std::nullopt;
  }

  std::optional<Stop> ListMeter(const MeterAddress& meter) {
    CensusEntry entry{.meter = meter};
    if (plan_.readValues) {
      if (auto stop = ReadValues(entry)) return stop;
    }
    List(entry);
    return Rest(FrameGap(meter.baudRate));
  }

  // The resistance and the switch in one read, or in two when the meter
  // refuses to read the three registers together.
  std::optional<Stop> ReadValues(CensusEntry& entry) {
    const MeterAddress& meter = entry.meter;
    Bytes reply;
    ParsedReply parsed;
    if (auto stop = Read(meter, MeasurementRegisters(meter.slave), kMeasurementReplyBytes, parsed, reply)) return stop;
    if (parsed.outcome == ReplyOutcome::Good && reply.size() == static_cast<std::size_t>(kMeasurementReplyBytes)) {
      DecodeMeasurement(reply, entry);
      return std::nullopt;
    }
    if (!IsRegisterRefusal(parsed)) return std::nullopt;
    const auto slave = static_cast<std::uint8_t>(meter.slave);
    constexpr int kFloatReplyBytes = 9;
    constexpr int kIntegerReplyBytes = 7;
    if (auto stop = Read(meter, meter::Definition(meter::kResistance, slave), kFloatReplyBytes, parsed, reply)) {
      return stop;
    }
    if (parsed.outcome == ReplyOutcome::Good && parsed.value) {
      entry.resistanceKohm = static_cast<float>(parsed.value->ToNumber());
    }
    if (auto stop = Read(meter, meter::Definition(meter::kSwitch, slave), kIntegerReplyBytes, parsed, reply)) {
      return stop;
    }
    if (parsed.outcome == ReplyOutcome::Good && parsed.value) {
      entry.switchValue = static_cast<int>(parsed.value->ToNumber());
    }
    return std::nullopt;
  }

  // A meter found may be a slow one: its values are read with polling's wait.
  std::optional<Stop> Read(const MeterAddress& meter, const TagDefinition& tag, int replyBytes, ParsedReply& parsed,
                           Bytes& reply) {
    if (auto stop = Rest(kRestBeforeAskingAgain)) return stop;
    const Bytes request = BuildReadRequest(tag, services_.pump);
    const Answer answer =
        Ask(hold_, services_, request, {kPatientFirstByteWait, CensusRestOfReply(meter.baudRate, replyBytes)},
            hooks_.cancelled, "census");
    NoteLateReply(answer);
    if (answer.end == AskEnd::Cancelled) return Stop::Cancelled;
    if (answer.end == AskEnd::PortLost) return Stop::PortLost;
    reply = answer.reply;
    parsed =
        answer.end == AskEnd::Whole ? ParseReply(reply, request, std::nullopt, tag, services_.pump) : ParsedReply{};
    return std::nullopt;
  }

  void List(CensusEntry entry) {
    census_.meters.push_back(std::move(entry));
    if (hooks_.onFound) hooks_.onFound(census_.meters.back());
  }

  bool Known(const MeterAddress& meter) const {
    return std::ranges::any_of(census_.meters, [&](const CensusEntry& e) { return e.meter == meter; }) ||
           std::ranges::find(garbledIds_, meter) != garbledIds_.end();
  }

  // What was heard since the last request, perhaps with its end in this
  // answer: a late reply, which names its sender.
  void NoteLateReply(const Answer& answer) {
    if (answer.stale.empty()) return;
    Bytes heard = answer.stale;
    heard.insert(heard.end(), answer.reply.begin(), answer.reply.end());
    if (LooksLikeProbeReply(heard)) NoteSignOfLife(heard);
  }

  // A reply names its sender in its first byte, also when it comes too late
  // for the probe that asked.
  void NoteSignOfLife(const Bytes& heard) {
    if (heard.empty() || !meter::IsSlaveId(heard[0])) return;
    if (std::ranges::find(heard_, heard[0]) == heard_.end()) heard_.push_back(heard[0]);
  }

  // Probes again, patiently, each slave that has shown a sign of life at this
  // rate and is not listed yet; one whose probe was answered by another's late
  // reply may show itself again.
  std::optional<Stop> FollowSignsOfLife(int baud, int number, int total) {
    while (!heard_.empty()) {
      const MeterAddress probed{heard_.back(), baud};
      heard_.pop_back();
      const bool inPlan = probed.slave >= plan_.firstId && probed.slave <= plan_.lastId;
      if (!inPlan || fruitlessFollowUpsLeft_ == 0 || Known(probed)) continue;
      if (hooks_.onProbe) hooks_.onProbe(probed, number, total);
      if (auto stop = Rest(kRestBeforeAskingAgain)) return stop;
      if (auto stop = Probe(probed, kPatientFirstByteWait)) return stop;
      if (!Known(probed)) --fruitlessFollowUpsLeft_;
    }
    return std::nullopt;
  }

  // At the end of a rate's sweep: what is still on its way to the last probes.
  std::optional<Stop> ListenForLateReplies() {
    const auto stop = Rest(kLateReplyWindow);
    const Bytes heard = hold_.TheLine().Port().Input();
    if (LooksLikeProbeReply(heard)) NoteSignOfLife(heard);
    return stop;
  }

  // The line rests this long, window events running; a Cancel or a port that
  // closed ends it first.
  std::optional<Stop> Rest(Duration length) {
    if (dornvel::Rest(hold_, services_, length, hooks_.cancelled)) return std::nullopt;
    return Cancelled() ? Stop::Cancelled : Stop::PortLost;
  }

  // Garbage that repeats is a duplicate's only on a line clean elsewhere.
  void JudgeGarbledIds() {
    if (strayGarbage_ > kMostStrayGarbage) {
      census_.garbled = garbledIds_;
      return;
    }
    for (const MeterAddress& meter : garbledIds_) List({.meter = meter, .state = CensusState::SuspectedDuplicate});
  }

  Line::Hold& hold_;
  ProtocolServices services_;
  const CensusPlan& plan_;
  const CensusHooks& hooks_;
  Census census_;
  // Ids whose answers came garbled again and again.
  std::vector<MeterAddress> garbledIds_;
  // Ids whose answer came garbled once, by no late reply.
  int strayGarbage_ = 0;
  // Slave ids heard out of turn, not yet probed again.
  std::vector<int> heard_;
  int fruitlessFollowUpsLeft_ = kMostFruitlessFollowUps;
};

}  // namespace

Census TakeCensus(Line::Hold& hold, ProtocolServices services, const CensusPlan& plan, const CensusHooks& hooks) {
  return CensusTaker(hold, services, plan, hooks).Run();
}

Census TakeCensus(Line& line, ProtocolServices services, const CensusPlan& plan, const CensusHooks& hooks) {
  const auto hold = line.Take("census");
  if (!hold) return {.outcome = CensusOutcome::PortBusy};
  return TakeCensus(*hold, services, plan, hooks);
}

}  // namespace dornvel
