#pragma once

#include <QStringList>
#include <array>

#include "ui/device_tags.h"

namespace dornvel {

// What one tick learned of the meter, beyond the tags' own state.
struct TickOutcome {
  // Which tags the tick refreshed, in the order of kDeviceTags: a tick cut
  // short leaves the rest untouched.
  std::array<bool, kDeviceTags.size()> refreshed{};
  // Whether the device answered at least one exchange of the tick; when it
  // answered none, nothing read earlier is confirmed either.
  bool deviceAnswered = false;
  // The messages the tick's exchanges left in panel 4, in order.
  QStringList messages;
};

}  // namespace dornvel
