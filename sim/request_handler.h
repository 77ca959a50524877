#pragma once

#include <span>
#include <string>

#include "sim/meter.h"
#include "sim/modbus_engine.h"

namespace dornvel::sim {

struct Handled {
  Bytes reply;       // empty for a broadcast
  std::string note;  // what the request did, for the traffic log
};

// Answers one request addressed to the meter: reads of the input (function 4)
// and holding (function 3) registers, writes of the holding registers
// (functions 6 and 16) under the jumper's control. Any other function is
// answered with exception 1 (illegal function).
Handled HandleRequest(ModbusEngine& engine, Meter& meter, std::span<const std::uint8_t> request, Clock::time_point now);

}  // namespace dornvel::sim
