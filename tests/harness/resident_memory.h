#pragma once

namespace dornvel::testing {

// This process's resident memory in KiB, from /proc/self/status: now (VmRSS)
// and the most it has held so far (VmHWM).
long ResidentKiB();
long PeakResidentKiB();
// What malloc has handed out and not had back, in KiB: tells a leak from
// pages that the heap touched once and keeps.
long HeapInUseKiB();

}  // namespace dornvel::testing
