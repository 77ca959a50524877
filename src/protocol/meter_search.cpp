#include "protocol/meter_search.h"

#include <algorithm>
#include <string>

#include "protocol/clock.h"
#include "protocol/line.h"
#include "protocol/line_request.h"
#include "protocol/probe_timing.h"
#include "protocol/reply_parser.h"
#include "protocol/request_frames.h"
#include "protocol/serial_control.h"

namespace dornvel {

namespace {

using namespace probe_timing;

// Noise on the line must not stretch a search past a minute: 36 s of sweep,
// 2.2 s of listening, and at most this many patient probes of 2.2 s.
constexpr int kMostPatientProbes = 8;

enum class ProbeEnd { Meter, NoMeter, Cancelled, PortLost };

// Sends probes and judges their replies on a port already open at the rate.
class Prober {
 public:
  Prober(Line::Hold& hold, ProtocolServices services, const SearchHooks& hooks)
      : hold_(hold), services_(services), hooks_(hooks) {}

  bool Cancelled() const { return hooks_.cancelled && hooks_.cancelled(); }

  // The quick probe of the sweep; a reply too late for it, or from another
  // slave, is noted as a sign of life.
  ProbeEnd Probe(const MeterAddress& probed) { return Probe(probed, QuickProbe(probed.baudRate)); }

  // Probes again, patiently, each slave that has shown a sign of life at this
  // rate since the last call; `number` is the sweep's count so far.
  std::optional<ProbeEnd> FollowSignsOfLife(int baud, int number, MeterAddress& found) {
    while (!heard_.empty()) {
      const MeterAddress probed{heard_.back(), baud};
      heard_.pop_back();
      if (patientProbesLeft_ == 0 || std::ranges::find(followed_, probed) != followed_.end()) continue;
      --patientProbesLeft_;
      followed_.push_back(probed);
      if (hooks_.onProbe) hooks_.onProbe({probed, number});
      if (auto stop = Rest(kRestBeforeAskingAgain)) return stop;
      const ProbeEnd end = Probe(probed, PatientAsk(baud));
      if (end == ProbeEnd::Meter) found = probed;
      if (end != ProbeEnd::NoMeter) return end;
    }
    return std::nullopt;
  }

  // At the end of a rate's sweep: what is still on its way to the last probes.
  std::optional<ProbeEnd> ListenForLateReplies() {
    const auto stop = Rest(kLateReplyWindow);
    NoteSignOfLife(hold_.TheLine().Port().Input());
    return stop;
  }

 private:
  ProbeEnd Probe(const MeterAddress& probed, const AskTiming& timing) {
    const TagDefinition slaveIdRegister = meter::Definition(meter::kSlaveId, static_cast<std::uint8_t>(probed.slave));
    const Bytes request = BuildReadRequest(slaveIdRegister, services_.pump);
    const Answer answer = Ask(hold_, services_, request, timing, hooks_.cancelled, "search");
    NoteSignOfLife(answer.stale);  // heard since the last probe
    switch (answer.end) {
      case AskEnd::Cancelled: return ProbeEnd::Cancelled;
      case AskEnd::PortLost: return ProbeEnd::PortLost;
      case AskEnd::Silent: return ProbeEnd::NoMeter;
      case AskEnd::Whole:
        if (IsMeterReply(answer.reply, request, slaveIdRegister)) return ProbeEnd::Meter;
        break;
      case AskEnd::Garbled: break;
    }
    NoteSignOfLife(answer.reply);
    // Something else answered: the line rests before the next request.
    return Rest(FrameGap(probed.baudRate)).value_or(ProbeEnd::NoMeter);
  }

  // A reply names its sender in its first byte, also when it comes too late
  // for the probe that asked.
  void NoteSignOfLife(const Bytes& heard) {
    if (heard.empty() || !meter::IsSlaveId(heard[0])) return;
    if (std::ranges::find(heard_, heard[0]) == heard_.end()) heard_.push_back(heard[0]);
  }

  // The line rests this long, window events running; a Cancel or a port that
  // closed ends it first.
  std::optional<ProbeEnd> Rest(Duration length) {
    if (dornvel::Rest(hold_, services_, length, hooks_.cancelled)) return std::nullopt;
    return Cancelled() ? ProbeEnd::Cancelled : ProbeEnd::PortLost;
  }

  // A good answer to the probe: its CRC, the probed address, function 3 with
  // a byte count of 2 and the length that goes with it. The probe before went
  // to another address, so its late answer cannot pass for this one.
  bool IsMeterReply(const Bytes& reply, const Bytes& request, const TagDefinition& probe) {
    return ParseReply(reply, request, std::nullopt, probe, services_.pump).outcome == ReplyOutcome::Good;
  }

  Line::Hold& hold_;
  ProtocolServices services_;
  const SearchHooks& hooks_;
  // Slave ids heard out of turn, not yet probed again.
  std::vector<int> heard_;
  std::vector<MeterAddress> followed_;
  int patientProbesLeft_ = kMostPatientProbes;
};

}  // namespace

std::vector<MeterAddress> SearchOrder(MeterAddress shown) {
  using meter::kFirstSlaveId, meter::kRates;
  const int firstRate = meter::IsRate(shown.baudRate) ? shown.baudRate : kRates[0];
  const int firstId = meter::IsSlaveId(shown.slave) ? shown.slave : kFirstSlaveId;
  const int idCount = meter::kSlaveIdCount;

  std::vector<MeterAddress> order;
  order.reserve(kSearchProbes);
  for (int rate : {firstRate, firstRate == kRates[0] ? kRates[1] : kRates[0]}) {
    for (int step = 0; step < idCount; ++step) {
      order.push_back({kFirstSlaveId + (firstId - kFirstSlaveId + step) % idCount, rate});
    }
  }
  return order;
}

SearchResult SearchForMeter(Line& line, ProtocolServices services, MeterAddress shown, const SearchHooks& hooks) {
  const auto hold = line.Take("search");
  if (!hold) return {SearchOutcome::PortBusy, std::nullopt};
  return SearchForMeter(*hold, services, shown, hooks);
}

SearchResult SearchForMeter(Line::Hold& hold, ProtocolServices services, MeterAddress shown, const SearchHooks& hooks) {
  Prober prober(hold, services, hooks);

  const std::vector<MeterAddress> order = SearchOrder(shown);
  int number = 0;
  int openRate = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    const MeterAddress& probed = order[i];
    if (probed.baudRate != openRate) {
      if (!hold.OpenAt(probed.baudRate)) return {SearchOutcome::PortUnavailable, std::nullopt};
      openRate = probed.baudRate;
    }
    if (hooks.onProbe) hooks.onProbe({probed, ++number});
    if (prober.Cancelled()) return {SearchOutcome::Cancelled, std::nullopt};
    std::optional<ProbeEnd> end = prober.Probe(probed);
    if (end == ProbeEnd::Meter) return {SearchOutcome::Found, probed};
    const bool lastAtRate = i + 1 == order.size() || order[i + 1].baudRate != openRate;
    if (end == ProbeEnd::NoMeter && lastAtRate) end = prober.ListenForLateReplies();
    MeterAddress found;
    if (!end || end == ProbeEnd::NoMeter) end = prober.FollowSignsOfLife(openRate, number, found);
    switch (end.value_or(ProbeEnd::NoMeter)) {
      case ProbeEnd::Meter: return {SearchOutcome::Found, found};
      case ProbeEnd::Cancelled: return {SearchOutcome::Cancelled, std::nullopt};
      case ProbeEnd::PortLost: return {SearchOutcome::PortUnavailable, std::nullopt};
      case ProbeEnd::NoMeter: break;
    }
  }
  return {SearchOutcome::NothingFound, std::nullopt};
}

}  // namespace dornvel
