#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/fault_plan.h"

namespace dornvel::sim {

struct FaultSettings {
  std::array<Trigger, kFaultKindCount> triggers{};
  double delaySeconds = 0.5;
  std::uint8_t exceptionCode = 4;
  std::optional<std::uint8_t> foreignId;  // default: the device's id + 1 (247 -> 1)
  double splitGapSeconds = 0.3;
  std::size_t splitAt = 0;      // 0: half the reply
  std::size_t shortLength = 0;  // 0: half the reply
  double babbleSeconds = 0.3;
  double hangupSeconds = 2.0;
};

// One meter of a line (--meter ID[@RATE][:KOHM]): its slave id, its rate, and
// its fixed resistance (drifting when empty).
struct MeterSpec {
  std::uint8_t slaveId = 1;
  std::uint16_t baud = 9600;
  std::optional<float> resistance;

  bool operator==(const MeterSpec&) const = default;
};

// "7", "7@19200", "7:12.5", "7@19200:12.5"; empty when malformed.
std::optional<MeterSpec> ParseMeterSpec(std::string_view text);

struct Options {
  std::optional<std::string> link;
  std::optional<std::string> device;
  std::uint8_t slaveId = 1;
  std::uint16_t baud = 9600;
  bool jumper = false;
  std::uint8_t refusedWriteCode = 1;
  std::optional<float> resistance;  // fixed value; drifting when empty
  float driftCentre = 1500.0f;
  std::uint16_t switchValue = 0;
  std::optional<std::uint64_t> seed;  // random when empty (and logged)
  std::optional<std::string> log;     // "-" for standard error
  std::optional<int> frameGapMs;      // default: 20 ms, or 3.5 characters on a line of meters
  int requiredStopBits = 0;           // 0: any
  FaultSettings faults;
  // A line of meters (--meter), timed as a real line; empty for the one meter
  // of --slave, --baud and --resistance, which answers at once.
  std::vector<MeterSpec> meters;
  int turnaroundMs = 5;
  bool echo = false;
};

// The meters to serve: those of --meter, or the one of --slave, --baud and
// --resistance.
std::vector<MeterSpec> MetersOf(const Options& options);

struct ParsedCommandLine {
  enum class Action { Run, Help, Version, Refuse };
  Action action = Action::Refuse;
  Options options;
  std::string message;  // why it was refused
};

// `arguments` without the program name. Both "--name value" and
// "--name=value" are accepted.
ParsedCommandLine ParseCommandLine(std::span<const std::string_view> arguments);

std::string HelpText();

}  // namespace dornvel::sim
