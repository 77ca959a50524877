#include "protocol/probe_timing.h"

#include "protocol/line_settings.h"

namespace dornvel::probe_timing {

namespace {

using namespace std::chrono_literals;

// The meter takes a request as ended after 3.5 characters of silence (4 ms at
// 9600 baud) and answers a one-register read within a few milliseconds more;
// 50 ms covers that with room to spare.
constexpr Duration kTurnaround = 50ms;

}  // namespace

// Probes go out in the meter's framing: 11 bits a character, 1.146 ms at 9600
// baud and 0.573 ms at 19200. The request's 8 characters on the line, the
// turnaround, the adapter's latency and the first reply character: 76 ms at
// 9600 baud and 71 ms at 19200, so the 494 probes of a search that finds
// nothing take about 36 s.
Duration FirstByteWait(int baud) {
  return MeterLine(baud).CharacterTime() * (kProbeBytes + 1) + kTurnaround + kAdapterLatency;
}

// Modbus lets a sender pause up to 1.5 characters between characters, so 6
// characters take at most 15 character times; the adapter may hold the last
// ones back once more.
Duration RestOfReplyWait(int baud) { return MeterLine(baud).CharacterTime() * 15 + kAdapterLatency; }

AskTiming QuickProbe(int baud) { return {FirstByteWait(baud), RestOfReplyWait(baud)}; }

AskTiming PatientAsk(int baud) { return {kPatientFirstByteWait, RestOfReplyWait(baud)}; }

Duration FrameGap(int baud) { return MeterLine(baud).CharacterTime() * 7 / 2; }

}  // namespace dornvel::probe_timing
