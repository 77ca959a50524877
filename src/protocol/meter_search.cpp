#include "protocol/meter_search.h"

#include <algorithm>
#include <string>

#include "protocol/clock.h"
#include "protocol/line_settings.h"
#include "protocol/mb_data.h"
#include "protocol/reply_parser.h"
#include "protocol/request_frames.h"
#include "protocol/serial_control.h"

namespace dornvel {

namespace {

using namespace std::chrono_literals;

// A probe reads one holding register: 8 bytes out, and the meter's reply
// "id 03 02 hi lo crc crc" is 7 bytes.
constexpr int kProbeBytes = 8;
constexpr std::size_t kReplyBytes = 7;

// Probes go out as 8 data bits, no parity and 2 stop bits: with the start bit
// 11 bits a character, 1.146 ms at 9600 baud and 0.573 ms at 19200.
LineSettings ProbeLine(int baud) { return LineSettings{baud, Parity::None, 8, StopBits::Two}; }
std::string ProbeSettingsText(int baud) { return std::to_string(baud) + ",N,8,2"; }

// The meter takes a request as ended after 3.5 characters of silence (4 ms at
// 9600 baud) and answers a one-register read within a few milliseconds more;
// 50 ms covers that with room to spare.
constexpr Duration kTurnaround = 50ms;
// A USB serial adapter holds received bytes for up to 16 ms (the FTDI chips'
// default latency timer) before it hands them on.
constexpr Duration kAdapterLatency = 16ms;

// From sending to the first byte of a reply: the request's 8 characters on the
// line, the turnaround, the adapter's latency and the first reply character.
// 76 ms at 9600 baud and 71 ms at 19200, so the 494 probes of a search that
// finds nothing take about 36 s.
Duration FirstByteWait(int baud) {
  return ProbeLine(baud).CharacterTime() * (kProbeBytes + 1) + kTurnaround + kAdapterLatency;
}

// From the first byte to the seventh: Modbus lets a sender pause up to 1.5
// characters between characters, so 6 characters take at most 15 character
// times; the adapter may hold the last ones back once more.
Duration RestOfReplyWait(int baud) { return ProbeLine(baud).CharacterTime() * 15 + kAdapterLatency; }

// A slow meter may answer up to 1 s late, after the sweep has moved on: what
// is heard out of turn is followed up with a probe that waits as long as
// polling does. The sweep's end at each rate listens as long for late replies.
constexpr Duration kPatientFirstByteWait = 2s;
constexpr Duration kLateReplyWindow = 1100ms;
// Noise on the line must not stretch a search past a minute: 36 s of sweep,
// 2.2 s of listening, and at most this many patient probes of 2.2 s.
constexpr int kMostPatientProbes = 8;
// Before a patient probe the line rests as long as polling takes to see the
// end of a reply: a slave that answered late may still be taking in the
// probes sent meanwhile, and must hear the new one as a request of its own.
constexpr Duration kRestBeforePatientProbe = 100ms;

// Before the next request the line stays quiet for 3.5 characters, so that
// every slave has seen the end of the reply before the next request starts.
Duration FrameGap(int baud) { return ProbeLine(baud).CharacterTime() * 7 / 2; }

// The port as the caller left it, put back when the search ends; marked as
// owned meanwhile.
class PortRestorer {
 public:
  explicit PortRestorer(SerialControl& port)
      : port_(port), number_(port.CommPort()), settings_(port.Settings()), wasOpen_(port.PortOpen()) {
    port_.TransactionInProgress = true;
  }
  ~PortRestorer() {
    port_.SetPortOpen(false);
    port_.SetCommPort(number_);
    port_.SetSettings(settings_);
    if (wasOpen_) port_.SetPortOpen(true);
    port_.TransactionInProgress = false;
    // Whatever was still on its way to the last polling request has been
    // dropped with the stale input of the probes.
    port_.UnansweredRequest.reset();
  }
  PortRestorer(const PortRestorer&) = delete;
  PortRestorer& operator=(const PortRestorer&) = delete;

 private:
  SerialControl& port_;
  const int number_;
  const std::string settings_;
  const bool wasOpen_;
};

enum class WaitEnd { Done, TimedOut, Cancelled, PortLost };

enum class ProbeEnd { Meter, NoMeter, Cancelled, PortLost };

std::optional<ProbeEnd> Interrupted(WaitEnd end) {
  if (end == WaitEnd::Cancelled) return ProbeEnd::Cancelled;
  if (end == WaitEnd::PortLost) return ProbeEnd::PortLost;
  return std::nullopt;
}

// Sends probes and judges their replies on a port already open at the rate.
class Prober {
 public:
  Prober(SerialControl& port, ProtocolServices services, const SearchHooks& hooks)
      : port_(port), services_(services), hooks_(hooks) {}

  bool Cancelled() const { return hooks_.cancelled && hooks_.cancelled(); }

  // The quick probe of the sweep; a reply too late for it, or from another
  // slave, is noted as a sign of life.
  ProbeEnd Probe(const MeterAddress& probed) { return Probe(probed, FirstByteWait(probed.baudRate)); }

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
      if (auto stop = Rest(kRestBeforePatientProbe)) return stop;
      const ProbeEnd end = Probe(probed, kPatientFirstByteWait);
      if (end == ProbeEnd::Meter) found = probed;
      if (end != ProbeEnd::NoMeter) return end;
    }
    return std::nullopt;
  }

  // At the end of a rate's sweep: what is still on its way to the last probes.
  std::optional<ProbeEnd> ListenForLateReplies() {
    const auto stop = Rest(kLateReplyWindow);
    NoteSignOfLife(port_.Input());
    return stop;
  }

 private:
  ProbeEnd Probe(const MeterAddress& probed, Duration firstByteWait) {
    const TagDefinition slaveIdRegister{static_cast<std::uint8_t>(probed.slave), HoldingRegisters, 0, IntegerType};
    const Bytes request = BuildReadRequest(slaveIdRegister, services_.pump);
    NoteSignOfLife(port_.Input());  // heard since the last probe
    port_.SetOutput(request);

    WaitEnd end = WaitUntil(services_.clock.Now() + firstByteWait, [this] { return port_.InBufferCount() > 0; });
    if (end == WaitEnd::TimedOut) {
      if (port_.OutBufferCount() > 0) port_.DropOutput();
      return ProbeEnd::NoMeter;
    }
    if (end == WaitEnd::Done) {
      end = WaitUntil(services_.clock.Now() + RestOfReplyWait(probed.baudRate),
                      [this] { return port_.InBufferCount() >= static_cast<int>(kReplyBytes); });
    }
    if (auto stop = Interrupted(end)) return *stop;
    const Bytes input = port_.Input();
    if (IsMeterReply(input, request, slaveIdRegister)) return ProbeEnd::Meter;
    NoteSignOfLife(input);
    // Something else answered: the line rests before the next request.
    return Rest(FrameGap(probed.baudRate)).value_or(ProbeEnd::NoMeter);
  }

  // A reply names its sender in its first byte, also when it comes too late
  // for the probe that asked.
  void NoteSignOfLife(const Bytes& heard) {
    if (heard.empty() || heard[0] < kFirstSlaveId || heard[0] > kLastSlaveId) return;
    if (std::ranges::find(heard_, heard[0]) == heard_.end()) heard_.push_back(heard[0]);
  }

  // The line rests this long, window events running; a Cancel or a port that
  // closed ends it first.
  std::optional<ProbeEnd> Rest(Duration length) {
    return Interrupted(WaitUntil(services_.clock.Now() + length, [] { return false; }));
  }

  // Lets window events run until `done` holds or the deadline passes; a Cancel
  // or a port that closed ends the wait first.
  template <class Condition>
  WaitEnd WaitUntil(TimePoint deadline, Condition done) {
    while (true) {
      if (Cancelled()) return WaitEnd::Cancelled;
      if (!port_.PortOpen()) return WaitEnd::PortLost;
      if (done()) return WaitEnd::Done;
      const TimePoint now = services_.clock.Now();
      if (now >= deadline) return WaitEnd::TimedOut;
      port_.WaitForInput(deadline - now, WaitEvents::Run);
    }
  }

  // A good answer to the probe: its CRC, the probed address, function 3 with
  // a byte count of 2 and the length that goes with it. The probe before went
  // to another address, so its late answer cannot pass for this one.
  bool IsMeterReply(const Bytes& input, const Bytes& request, const TagDefinition& probe) {
    if (input.size() < kReplyBytes) return false;
    const Bytes reply(input.begin(), input.begin() + kReplyBytes);
    return ParseReply(reply, request, std::nullopt, probe, services_.pump).outcome == ReplyOutcome::Good;
  }

  SerialControl& port_;
  ProtocolServices services_;
  const SearchHooks& hooks_;
  // Slave ids heard out of turn, not yet probed again.
  std::vector<int> heard_;
  std::vector<MeterAddress> followed_;
  int patientProbesLeft_ = kMostPatientProbes;
};

bool OpenAtRate(SerialControl& port, int baud) {
  port.SetPortOpen(false);  // the rate changes only while the port is closed
  port.SetSettings(ProbeSettingsText(baud));
  port.SetPortOpen(true);
  return port.PortOpen();
}

}  // namespace

std::vector<MeterAddress> SearchOrder(MeterAddress shown) {
  const bool shownRateKnown = std::ranges::find(kSearchRates, shown.baudRate) != std::end(kSearchRates);
  const int firstRate = shownRateKnown ? shown.baudRate : kSearchRates[0];
  const int firstId = shown.slave >= kFirstSlaveId && shown.slave <= kLastSlaveId ? shown.slave : kFirstSlaveId;
  const int idCount = kLastSlaveId - kFirstSlaveId + 1;

  std::vector<MeterAddress> order;
  order.reserve(kSearchProbes);
  for (int rate : {firstRate, firstRate == kSearchRates[0] ? kSearchRates[1] : kSearchRates[0]}) {
    for (int step = 0; step < idCount; ++step) {
      order.push_back({kFirstSlaveId + (firstId - kFirstSlaveId + step) % idCount, rate});
    }
  }
  return order;
}

SearchResult SearchForMeter(SerialControl& port, ProtocolServices services, MeterAddress shown,
                            const SearchHooks& hooks) {
  if (port.TransactionInProgress) return {SearchOutcome::PortBusy, std::nullopt};
  PortRestorer restorer(port);
  Prober prober(port, services, hooks);

  const std::vector<MeterAddress> order = SearchOrder(shown);
  int number = 0;
  int openRate = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    const MeterAddress& probed = order[i];
    if (probed.baudRate != openRate) {
      if (!OpenAtRate(port, probed.baudRate)) return {SearchOutcome::PortUnavailable, std::nullopt};
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
