#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/fault_plan.h"

namespace dornvel::sim {

struct FaultSettings {
  std::array<Trigger, fault_kind_count> triggers{};
  double delay_seconds = 0.5;
  std::uint8_t exception_code = 4;
  std::optional<std::uint8_t> foreign_id;  // default: the device's id + 1 (247 -> 1)
  double split_gap_seconds = 0.3;
  std::size_t split_at = 0;      // 0: half the reply
  std::size_t short_length = 0;  // 0: half the reply
  double babble_seconds = 0.3;
  double hangup_seconds = 2.0;
};

struct Options {
  std::optional<std::string> link;
  std::optional<std::string> device;
  std::uint8_t slave_id = 1;
  std::uint16_t baud = 9600;
  bool jumper = false;
  std::uint8_t refused_write_code = 1;
  std::optional<float> resistance;  // fixed value; drifting when empty
  float drift_centre = 1500.0f;
  std::uint16_t switch_value = 0;
  std::optional<std::uint64_t> seed;  // random when empty (and logged)
  std::optional<std::string> log;     // "-" for standard error
  int frame_gap_ms = 20;
  int required_stop_bits = 0;  // 0: any
  FaultSettings faults;
};

struct ParsedCommandLine {
  enum class Action { run, help, version, refuse };
  Action action = Action::refuse;
  Options options;
  std::string message;  // why it was refused
};

// `arguments` without the program name. Both "--name value" and
// "--name=value" are accepted.
ParsedCommandLine parse_command_line(std::span<const std::string_view> arguments);

std::string help_text();

}  // namespace dornvel::sim
