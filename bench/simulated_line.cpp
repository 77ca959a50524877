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

std::vector<std::string> SimulatedMeter(int baud, std::optional<float> resistanceKohm) {
  const int lineMs = static_cast<int>(std::floor(LineSeconds(kReadRequestBytes + kFloatReplyBytes, baud) * 1e3));
  std::vector<std::string> arguments = {"--baud", std::to_string(baud), "--frame-gap", std::to_string(lineMs)};
  if (resistanceKohm) arguments.insert(arguments.end(), {"--resistance", std::to_string(*resistanceKohm)});
  return arguments;
}

}  // namespace dornvel::bench
