#include "tapped_simulator.h"

namespace dornvel::bench {

namespace {

std::vector<std::string> LogToStandardOutput(std::vector<std::string> arguments) {
  arguments.insert(arguments.end(), {"--log", "/dev/stdout"});
  return arguments;
}

}  // namespace

TappedSimulator::TappedSimulator(const e2e::TempDir& dir, std::vector<std::string> arguments)
    : process_(DORNVEL_SIM_PATH, LogToStandardOutput(std::move(arguments)), dir / "sim-stderr.txt") {
  // Log lines start with their time stamp; the announced path with "/".
  while (auto line = process_.next_line(std::chrono::seconds(3))) {
    if (line->starts_with('/')) {
      path_ = *line;
      break;
    }
  }
}

std::optional<std::chrono::steady_clock::time_point> TappedSimulator::WaitFor(std::string_view direction,
                                                                              e2e::Milliseconds within) {
  const auto deadline = std::chrono::steady_clock::now() + within;
  std::string marker(" ");
  marker += direction;
  marker += ' ';
  while (true) {
    const auto left = std::chrono::ceil<e2e::Milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left <= e2e::Milliseconds::zero()) return std::nullopt;
    const auto line = process_.next_line(left);
    if (!line) return std::nullopt;
    if (line->find(marker) != std::string::npos) return std::chrono::steady_clock::now();
  }
}

}  // namespace dornvel::bench
