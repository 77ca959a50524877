#pragma once

#include <optional>

#include "sim_harness.h"

namespace dornvel::bench {

// The dornvel program as a child process on Qt's offscreen platform, with a
// settings file of its own in `dir`; it closes its window after
// `quitAfterTicks` ticks, or runs until stopped. The ports are those mapped
// in the environment (see MapPorts).
e2e::Process StartProgram(const e2e::TempDir& dir, std::optional<int> quitAfterTicks);

}  // namespace dornvel::bench
