#include "harness/simulator.h"

#include <csignal>
#include <regex>

namespace dornvel::testing {

namespace {

using namespace std::chrono_literals;

std::vector<std::string> WithLog(std::vector<std::string> arguments, const std::filesystem::path& log) {
  arguments.insert(arguments.end(), {"--log", log.empty() ? "/dev/stdout" : log.string()});
  return arguments;
}

}  // namespace

Simulator::Simulator(const TempDir& dir, std::vector<std::string> arguments, LogMode mode)
    : logFile_(mode == LogMode::Tapped ? std::filesystem::path() : dir / "traffic.log"),
      stderrFile_(dir / "sim-stderr.txt"),
      process_(DORNVEL_SIM_PATH, WithLog(std::move(arguments), logFile_), stderrFile_) {
  // Log lines start with their time stamp; the announced path with "/".
  while (auto line = process_.NextLine(3s)) {
    if (line->starts_with('/')) {
      path_ = *line;
      break;
    }
  }
}

std::optional<int> Simulator::Stop() { return process_.Stop(SIGTERM, 3s); }

std::string Simulator::Log() const { return logFile_.empty() ? std::string() : ReadText(logFile_); }

std::string Simulator::Errors() const { return ReadText(stderrFile_); }

bool Simulator::Reached(std::uint64_t request) const {
  const std::regex mention("request #" + std::to_string(request) + "\\b");
  return std::regex_search(Log(), mention);
}

std::map<std::string, long> Simulator::Counters() const {
  std::map<std::string, long> counters;
  const std::string text = Errors();
  const auto summary = text.rfind("dornvel-sim: requests=");
  if (summary == std::string::npos) return counters;
  const std::string line = text.substr(summary, text.find('\n', summary) - summary);
  static const std::regex kPair(R"(([a-z-]+)=(\d+))");
  for (auto it = std::sregex_iterator(line.begin(), line.end(), kPair); it != std::sregex_iterator(); ++it) {
    counters[(*it)[1]] = std::stol((*it)[2]);
  }
  return counters;
}

std::optional<std::chrono::steady_clock::time_point> Simulator::WaitFor(std::string_view direction,
                                                                        Milliseconds within) {
  const auto deadline = std::chrono::steady_clock::now() + within;
  const std::string marker = " " + std::string(direction) + " ";
  while (true) {
    const auto left = std::chrono::ceil<Milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left <= Milliseconds::zero()) return std::nullopt;
    const auto line = process_.NextLine(left);
    if (!line) return std::nullopt;
    if (line->find(marker) != std::string::npos) return std::chrono::steady_clock::now();
  }
}

}  // namespace dornvel::testing
