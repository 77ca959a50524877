#include "sim/meter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace dornvel::sim {

Resistance Resistance::Fixed(float kilohms) {
  Resistance resistance;
  resistance.fixed_ = kilohms;
  return resistance;
}

Resistance Resistance::Drifting(float centreKilohms, std::uint64_t seed, Clock::time_point start) {
  Resistance resistance;
  resistance.centre_ = centreKilohms;
  resistance.start_ = start;
  resistance.last_ = start;
  resistance.random_.seed(seed);
  return resistance;
}

float Resistance::At(Clock::time_point now) {
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
    : slaveId_(settings.slaveId),
      baud_(settings.baud),
      jumper_(settings.jumper),
      refusedWriteCode_(settings.refusedWriteCode),
      switchValue_(settings.switchValue),
      resistance_(std::move(resistance)) {}

std::array<std::uint16_t, 3> Meter::InputRegisters(Clock::time_point now) {
  auto nolu = FloatRegisters(resistance_.At(now));
  return {nolu[0], nolu[1], switchValue_};
}

WriteVerdict Meter::CheckWrite(std::uint16_t address, std::span<const std::uint16_t> values) const {
  if (!jumper_) return {false, refusedWriteCode_};
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::size_t reg = address + i;
    bool valid = reg == 0 ? IsValidSlaveId(values[i]) : IsValidBaud(values[i]);
    if (!valid) return {false, 3};
  }
  return {true, 0};
}

void Meter::TakeHolding(const std::array<std::uint16_t, 2>& registers) {
  slaveId_ = static_cast<std::uint8_t>(registers[0]);
  baud_ = registers[1];
}

bool IsValidSlaveId(long value) { return value >= 1 && value <= 247; }

bool IsValidBaud(long value) { return value == 9600 || value == 19200; }

std::array<std::uint16_t, 2> FloatRegisters(float value) {
  auto bits = std::bit_cast<std::uint32_t>(value);
  return {static_cast<std::uint16_t>(bits & 0xFFFF), static_cast<std::uint16_t>(bits >> 16)};
}

}  // namespace dornvel::sim
