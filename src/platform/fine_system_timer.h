#pragma once

namespace dornvel {

// While one lives, the system wakes waiting threads to the millisecond: the
// line's silences last a few, and Windows otherwise ends a wait only at its
// clock's tick of 15.6 ms (a wait of 4 ms would last 15). Elsewhere waits are
// that fine already, and it does nothing.
class FineSystemTimer {
 public:
  FineSystemTimer();
  ~FineSystemTimer();
  FineSystemTimer(const FineSystemTimer&) = delete;
  FineSystemTimer& operator=(const FineSystemTimer&) = delete;
};

}  // namespace dornvel
