#include "simulated_line.h"

#include <cmath>
#include <cstdlib>

namespace dornvel::bench {

namespace {

constexpr double kBitsPerCharacter = 11;
constexpr double kEndOfReplySilence = 0.1;
constexpr int kProbedPorts = 16;

}  // namespace

double LineSeconds(std::size_t bytes, int baud) { return static_cast<double>(bytes) * kBitsPerCharacter / baud; }

double TransactionFloorSeconds(int baud) {
  return LineSeconds(kReadRequestBytes + kFloatReplyBytes, baud) + kEndOfReplySilence;
}

std::vector<std::string> SimulatedMeter(int baud) {
  const int lineMs = static_cast<int>(std::floor(LineSeconds(kReadRequestBytes + kFloatReplyBytes, baud) * 1e3));
  return {"--baud", std::to_string(baud), "--resistance", "12.5", "--frame-gap", std::to_string(lineMs)};
}

void MapPorts(const std::vector<std::string>& devices) {
  for (int n = 1; n <= kProbedPorts; ++n) {
    const auto index = static_cast<std::size_t>(n - 1);
    const std::string device = index < devices.size() ? devices[index] : "/nonexistent/dornvel-bench-port";
    ::setenv(("DORNVEL_COM" + std::to_string(n)).c_str(), device.c_str(), 1);
  }
}

}  // namespace dornvel::bench
