#include "sim/collision.h"

#include <algorithm>

namespace dornvel::sim {

namespace {

// A bit is modelled as eight ticks, fine enough for a driver to start a
// fraction of a bit after another and for the receiver to sample mid-bit.
constexpr std::size_t kTicksPerBit = 8;
constexpr std::size_t kSampleTick = kTicksPerBit / 2;
// 8N2: start bit, eight data bits, two stop bits.
constexpr std::size_t kBitsPerCharacter = 11;
constexpr std::size_t kTicksPerCharacter = kBitsPerCharacter * kTicksPerBit;
// Later drivers start from one and a half bits to two characters after the
// first: two microcontrollers' turnarounds differ by more than a bit's time
// (104 us at 9600 baud). Closer starts leave a window in each bit where both
// drivers agree, and a receiver that syncs into it reads one clean frame.
constexpr std::size_t kLeastSkewTicks = kTicksPerBit * 3 / 2;
constexpr std::size_t kMostSkewTicks = 2 * kTicksPerCharacter;

// The level a driver puts on the line at `tick` of its own transmission:
// 1 (idle, mark) before and after its characters.
int DriverLevel(const Bytes& reply, std::size_t tick) {
  const std::size_t character = tick / kTicksPerCharacter;
  if (character >= reply.size()) return 1;
  const std::size_t bit = tick % kTicksPerCharacter / kTicksPerBit;
  if (bit == 0) return 0;
  if (bit > 8) return 1;
  return reply[character] >> (bit - 1) & 1;
}

// The level the receiver sees on each tick: the drivers' common level where
// all that are sending agree, noise where they differ.
std::vector<int> WireLevels(std::span<const Bytes> replies, std::span<const std::size_t> starts,
                            std::mt19937_64& random) {
  std::size_t end = 0;
  for (std::size_t i = 0; i < replies.size(); ++i)
    end = std::max(end, starts[i] + replies[i].size() * kTicksPerCharacter);
  std::bernoulli_distribution noise(0.5);
  std::vector<int> levels(end + kTicksPerCharacter, 1);
  for (std::size_t tick = 0; tick < end; ++tick) {
    int seen = -1;
    for (std::size_t i = 0; i < replies.size(); ++i) {
      const int level = tick < starts[i] ? 1 : DriverLevel(replies[i], tick - starts[i]);
      seen = seen < 0 || seen == level ? level : 2;
    }
    levels[tick] = seen == 2 ? noise(random) : seen;
  }
  return levels;
}

// A UART's reading of the line: a 0 after idle starts a character, whose
// bits are read in their middles; a framing error (stop bit 0) keeps the
// byte, as a receiver without error marking passes it on.
Bytes Resample(const std::vector<int>& levels) {
  Bytes bytes;
  std::size_t tick = 0;
  while (tick + kTicksPerCharacter <= levels.size()) {
    if (levels[tick] != 0) {
      ++tick;
      continue;
    }
    if (levels[tick + kSampleTick] != 0) {  // a glitch, not a start bit
      ++tick;
      continue;
    }
    std::uint8_t byte = 0;
    for (std::size_t bit = 0; bit < 8; ++bit)
      byte |= static_cast<std::uint8_t>(levels[tick + (bit + 1) * kTicksPerBit + kSampleTick] << bit);
    bytes.push_back(byte);
    tick += 9 * kTicksPerBit + kSampleTick;  // the middle of the first stop bit
  }
  return bytes;
}

}  // namespace

Bytes Collide(std::span<const Bytes> replies, std::mt19937_64& random) {
  std::uniform_int_distribution<std::size_t> skew(kLeastSkewTicks, kMostSkewTicks);
  std::vector<std::size_t> starts(replies.size(), 0);
  for (std::size_t i = 1; i < starts.size(); ++i) starts[i] = skew(random);
  return Resample(WireLevels(replies, starts, random));
}

}  // namespace dornvel::sim
