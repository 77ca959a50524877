#pragma once

#include "protocol/clock.h"
#include "protocol/line_request.h"

namespace dornvel {

// How long a tool waits for the meter, worked out once for the search and the
// tools that probe or program it.

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
// The quiet before the next request, so that every slave has seen the end of
// the reply.
Duration FrameGap(int baud);

// A slow meter may answer up to 1 s late, after a sweep has moved on: the end
// of a sweep listens this long for late replies to its last probes.
inline constexpr Duration kLateReplyWindow = std::chrono::milliseconds(1100);
// Before a patient probe the line rests as long as polling takes to see the
// end of a reply: a slave that answered late may still be taking in the
// probes sent meanwhile, and must hear the new one as a request of its own.
inline constexpr Duration kRestBeforePatientProbe = std::chrono::milliseconds(100);

}  // namespace dornvel
