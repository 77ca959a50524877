#pragma once

#include <chrono>

#include "protocol/clock.h"
#include "protocol/line_request.h"

namespace dornvel::probe_timing {

// How long the tools that ask the line for meters (the search, the census,
// commissioning) wait for them, worked out once.

// A USB serial adapter holds received bytes for up to 16 ms (the FTDI chips'
// default latency timer) before it hands them on.
inline constexpr Duration kAdapterLatency = std::chrono::milliseconds(16);

// A slow meter may answer up to 1 s late, after a sweep has moved on: what is
// heard out of turn is followed up with a probe that waits as long as polling
// does, and a sweep's end at each rate listens as long for late replies.
inline constexpr Duration kPatientFirstByteWait = std::chrono::seconds(2);
inline constexpr Duration kLateReplyWindow = std::chrono::milliseconds(1100);

// Before a request to a slave that has just answered, or answered late, the
// line rests as long as polling takes to see the end of a reply: the slave may
// still be taking in what was sent meanwhile, and must hear the new request as
// one of its own.
inline constexpr Duration kRestBeforeAskingAgain = std::chrono::milliseconds(100);

// A probe reads one holding register: 8 bytes out, and the meter's reply
// "id 03 02 hi lo crc crc" is 7 bytes.
inline constexpr int kProbeBytes = 8;

// From sending a probe to the first byte of its reply, for a prompt meter.
Duration FirstByteWait(int baud);
// From the first byte of a reply to its seventh.
Duration RestOfReplyWait(int baud);
// The quick probe: as long as a prompt meter needs, and no longer.
AskTiming QuickProbe(int baud);
// As long as polling waits: for a slow meter, or for a request that changes
// something in the meter.
AskTiming PatientAsk(int baud);
// Before the next request the line stays quiet for 3.5 characters, so that
// every slave has seen the end of the reply before the next request starts.
Duration FrameGap(int baud);

}  // namespace dornvel::probe_timing
