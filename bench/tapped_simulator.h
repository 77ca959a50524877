#pragma once

#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim_harness.h"

namespace dornvel::bench {

// dornvel-sim with its traffic log on its standard output, read line by line
// as it is written, so that a figure sees the moment a request was taken off
// the line ("RX") or a reply put on it ("TX").
class TappedSimulator {
 public:
  TappedSimulator(const e2e::TempDir& dir, std::vector<std::string> arguments);

  // The pseudo-terminal a master opens (empty if none was announced in time).
  const std::string& path() const { return path_; }

  // Waits for the next log line of `direction` ("RX" or "TX"); the time it was
  // read, or nothing when none came within the time.
  std::optional<std::chrono::steady_clock::time_point> WaitFor(std::string_view direction, e2e::Milliseconds within);

  std::optional<int> stop() { return process_.stop(SIGTERM, std::chrono::seconds(3)); }

 private:
  e2e::Process process_;
  std::string path_;
};

}  // namespace dornvel::bench
