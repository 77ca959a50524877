#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harness/process.h"
#include "harness/temp_dir.h"

namespace dornvel::testing {

// dornvel-sim, the simulated meter, as a child process, ready once it has
// printed the path of its pseudo-terminal. Its traffic log goes into the
// test's folder, or is tapped: read line by line from its standard output as
// it is written, so that a figure sees the moment a request was taken off the
// line ("RX") or a reply put on it ("TX").
class Simulator {
 public:
  enum class LogMode { ToFile, Tapped };

  Simulator(const TempDir& dir, std::vector<std::string> arguments, LogMode mode = LogMode::ToFile);

  // The pseudo-terminal a master opens (empty if none was announced in time).
  const std::string& Path() const { return path_; }
  Process& ChildProcess() { return process_; }

  // SIGTERM and the exit code (nothing if it did not stop in time).
  std::optional<int> Stop();

  // The traffic log so far (empty when tapped), and what the simulator said on standard error.
  std::string Log() const;
  std::string Errors() const;
  // True once the log mentions request number `request`.
  bool Reached(std::uint64_t request) const;
  // The counters of the summary line printed on exit ("silence" -> 1 ...).
  std::map<std::string, long> Counters() const;

  // Tapped: waits for the next log line of `direction` ("RX" or "TX"); the time
  // it was read, or nothing when none came within the time.
  std::optional<std::chrono::steady_clock::time_point> WaitFor(std::string_view direction, Milliseconds within);

 private:
  std::filesystem::path logFile_;  // empty when tapped
  std::filesystem::path stderrFile_;
  Process process_;
  std::string path_;
};

}  // namespace dornvel::testing
