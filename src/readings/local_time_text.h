#pragma once

#include <string>

#include "readings/reading.h"

namespace dornvel {

// The local time of `time` in ISO 8601 to the second, with its offset from UTC
// at that moment: "2026-12-08T23:41:07+01:00". The zone is the system's.
std::string LocalTimeText(WallTime time);

}  // namespace dornvel
