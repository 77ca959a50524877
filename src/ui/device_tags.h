#pragma once

#include <array>

#include "tags/meter_session.h"

namespace dornvel {

// How the window shows one of the meter's values: its value box, and the least
// number of digits the box shows.
struct ValueBox {
  const char* box;
  int digits;
};

// In the order of kMeterTags, which is the order the window polls them.
inline constexpr std::array<ValueBox, kMeterTags.size()> kValueBoxes{{
    {"nolu", 1},      // insulation resistance, kOhm
    {"switch", 2},    // protection switch
    {"slaveid", 4},   // the device's own slave id
    {"Boudrate", 2},  // the device's baud rate
}};

}  // namespace dornvel
