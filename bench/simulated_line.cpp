#include "bench/simulated_line.h"

#include <cmath>

namespace dornvel::bench {

namespace {

constexpr double kBitsPerCharacter = 11;
constexpr double kEndOfReplySilence = 0.1;

}  // namespace

double LineSeconds(std::size_t bytes, int baud) { return static_cast<double>(bytes) * kBitsPerCharacter / baud; }

double TransactionFloorSeconds(int baud) {
  return LineSeconds(kReadRequestBytes + kFloatReplyBytes, baud) + kEndOfReplySilence;
}

std::vector<std::string> SimulatedMeter(int baud) {
  const int lineMs = static_cast<int>(std::floor(LineSeconds(kReadRequestBytes + kFloatReplyBytes, baud) * 1e3));
  return {"--baud", std::to_string(baud), "--resistance", "12.5", "--frame-gap", std::to_string(lineMs)};
}

}  // namespace dornvel::bench
