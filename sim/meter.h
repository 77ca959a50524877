#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <span>

namespace dornvel::sim {

using Clock = std::chrono::steady_clock;

// The insulation resistance in kilohms: either fixed, or drifting slowly and
// plausibly around a centre value (a slow swing plus a bounded random walk).
class Resistance {
 public:
  static Resistance Fixed(float kilohms);
  static Resistance Drifting(float centreKilohms, std::uint64_t seed, Clock::time_point start);

  float At(Clock::time_point now);

 private:
  Resistance() = default;

  std::optional<float> fixed_;
  float centre_ = 0.0f;
  double walk_ = 0.0;
  Clock::time_point start_;
  Clock::time_point last_;
  std::mt19937_64 random_;
};

// Whether a write to the holding registers is taken, and if not, the Modbus
// exception code the device answers with.
struct WriteVerdict {
  bool accepted = false;
  std::uint8_t exceptionCode = 0;
};

// The meter's register map and state.
//   input 0-1   insulation resistance, kilohms, 32-bit float, low half in 0
//   input 2     protection switch value
//   holding 0   the device's slave id, 1..247
//   holding 1   the device's baud rate, 9600 or 19200
// Holding registers are writable only while the jumper "JP" is set.
class Meter {
 public:
  struct Settings {
    std::uint8_t slaveId = 1;
    std::uint16_t baud = 9600;
    bool jumper = false;
    std::uint8_t refusedWriteCode = 1;
    std::uint16_t switchValue = 0;
  };

  Meter(const Settings& settings, Resistance resistance);

  std::uint8_t SlaveId() const { return slaveId_; }
  std::uint16_t Baud() const { return baud_; }
  bool Jumper() const { return jumper_; }

  std::array<std::uint16_t, 3> InputRegisters(Clock::time_point now);
  std::array<std::uint16_t, 2> HoldingRegisters() const { return {slaveId_, baud_}; }

  // A write of `values` to the holding registers from `address` on, which
  // must lie within the two registers (out-of-range writes are answered by
  // the Modbus layer with exception 2). Refused without the jumper; values
  // out of range give exception 3 (illegal data value).
  WriteVerdict CheckWrite(std::uint16_t address, std::span<const std::uint16_t> values) const;

  // Takes both holding registers after an accepted write.
  void TakeHolding(const std::array<std::uint16_t, 2>& registers);

 private:
  std::uint8_t slaveId_;
  std::uint16_t baud_;
  bool jumper_;
  std::uint8_t refusedWriteCode_;
  std::uint16_t switchValue_;
  Resistance resistance_;
};

bool IsValidSlaveId(long value);
bool IsValidBaud(long value);

// The register image of a float: low-order 16 bits in the first register,
// each register high byte first on the line (12.5f = 0x41480000 -> 0x0000,
// 0x4148).
std::array<std::uint16_t, 2> FloatRegisters(float value);

}  // namespace dornvel::sim
