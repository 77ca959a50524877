#include "sim/meter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace dornvel::sim {

Resistance Resistance::fixed(float kilohms) {
  Resistance resistance;
  resistance.fixed_ = kilohms;
  return resistance;
}

Resistance Resistance::drifting(float centre_kilohms, std::uint64_t seed, Clock::time_point start) {
  Resistance resistance;
  resistance.centre_ = centre_kilohms;
  resistance.start_ = start;
  resistance.last_ = start;
  resistance.random_.seed(seed);
  return resistance;
}

float Resistance::at(Clock::time_point now) {
  if (fixed_) return *fixed_;
  // A swing of +-4 % over five minutes plus a random walk of about 0.3 % per
  // square-root second, held within +-3 %: it moves visibly from one 1-second
  // poll to the next in the last digits, and never leaves a plausible band.
  double elapsed = std::chrono::duration<double>(now - start_).count();
  double step = std::chrono::duration<double>(now - last_).count();
  last_ = now;
  if (step > 0.0) {
    std::normal_distribution<double> noise(0.0, 0.003 * std::sqrt(step));
    walk_ = std::clamp(walk_ + noise(random_), -0.03, 0.03);
  }
  double swing = 0.04 * std::sin(2.0 * std::numbers::pi * elapsed / 300.0);
  return static_cast<float>(centre_ * (1.0 + swing + walk_));
}

Meter::Meter(const Settings& settings, Resistance resistance)
    : slave_id_(settings.slave_id),
      baud_(settings.baud),
      jumper_(settings.jumper),
      refused_write_code_(settings.refused_write_code),
      switch_value_(settings.switch_value),
      resistance_(std::move(resistance)) {}

std::array<std::uint16_t, 3> Meter::input_registers(Clock::time_point now) {
  auto nolu = float_registers(resistance_.at(now));
  return {nolu[0], nolu[1], switch_value_};
}

WriteVerdict Meter::check_write(std::uint16_t address, std::span<const std::uint16_t> values) const {
  if (!jumper_) return {false, refused_write_code_};
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::size_t reg = address + i;
    bool valid = reg == 0 ? is_valid_slave_id(values[i]) : is_valid_baud(values[i]);
    if (!valid) return {false, 3};
  }
  return {true, 0};
}

void Meter::take_holding(const std::array<std::uint16_t, 2>& registers) {
  slave_id_ = static_cast<std::uint8_t>(registers[0]);
  baud_ = registers[1];
}

bool is_valid_slave_id(long value) { return value >= 1 && value <= 247; }

bool is_valid_baud(long value) { return value == 9600 || value == 19200; }

std::array<std::uint16_t, 2> float_registers(float value) {
  auto bits = std::bit_cast<std::uint32_t>(value);
  return {static_cast<std::uint16_t>(bits & 0xFFFF), static_cast<std::uint16_t>(bits >> 16)};
}

}  // namespace dornvel::sim
