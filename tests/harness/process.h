#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace dornvel::testing {

using namespace std::chrono_literals;
using Milliseconds = std::chrono::milliseconds;

// Variables a child gets on top of this process's environment: a value sets
// one, none removes it. This process's own environment is never touched.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

// A child process started by its path, its standard output on a pipe, its
// standard error into a file. Stopped by its id, never by name.
class Process {
 public:
  Process(const std::string& program, const std::vector<std::string>& arguments,
          const std::filesystem::path& stderrFile, const EnvironmentChanges& environment = {});
  ~Process();  // a process still running is killed and reaped
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  pid_t Pid() const { return pid_; }

  // The next line of standard output, without its newline, or nothing when
  // none comes within the time.
  std::optional<std::string> NextLine(Milliseconds within);
  // Everything until the process closes standard output.
  std::string RestOfOutput(Milliseconds within);

  // Sends `signal` (unless 0) and waits for the exit: the exit code, or
  // 128 + the signal that ended it; nothing when it did not end in time, in
  // which case it is killed.
  std::optional<int> Stop(int signal, Milliseconds within);
  std::optional<int> WaitForExit(Milliseconds within) { return Stop(0, within); }

 private:
  pid_t pid_ = -1;
  int pidfd_ = -1;
  int stdout_ = -1;
  std::string buffer_;
  bool reaped_ = false;
};

}  // namespace dornvel::testing
