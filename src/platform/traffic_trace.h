#pragma once

#include <string>
#include <string_view>

#include "protocol/bytes.h"
#include "protocol/clock.h"
#include "protocol/serial_control.h"

namespace dornvel {

// One line of the traffic log, e.g. "12.345 nolu -> 01 04 00 00 00 02 71 CB":
// seconds since the program started, the tag, "->" for a request and "<-" for a
// reply, the bytes in hex.
std::string TraceLine(Duration sinceStart, TraceDirection direction, std::string_view tagName, const Bytes& bytes);

// Time since the program started, on the monotonic clock.
Duration SinceProgramStart();

}  // namespace dornvel
