#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "harness/port_map.h"
#include "harness/process.h"
#include "harness/temp_dir.h"

namespace dornvel::testing {

// The dornvel program as a child process on Qt's offscreen platform, with a
// folder of its own for its settings (XDG_CONFIG_HOME) and its standard error,
// and Com<n> mapped to `ports` (no other port touched).
class ProgramProcess {
 public:
  explicit ProgramProcess(const PortDevices& ports = {});

  // Where the program keeps its settings: <config>/dornvel/dornvel.ini.
  std::filesystem::path ConfigHome() const { return dir_ / "config"; }
  std::filesystem::path SettingsFile() const { return ConfigHome() / "dornvel" / "dornvel.ini"; }
  // Puts `bytes` where the program reads its settings.
  void WriteSettings(const std::string& bytes) const;
  std::string SavedSettings() const { return ReadText(SettingsFile()); }

  // One more variable of the child's environment (DORNVEL_TRACE, ...).
  void SetEnvironment(const std::string& name, std::optional<std::string> value);

  // Starts the program; it closes its window after `quitAfterTicks` ticks, or
  // runs until stopped.
  void Start(std::optional<int> quitAfterTicks, const std::vector<std::string>& arguments = {});
  // The exit code; nothing when the program was still running after `within`
  // (it is killed then).
  std::optional<int> WaitForExit(Milliseconds within);
  std::optional<int> Stop(int signal, Milliseconds within);
  // Start, then wait as long as a few ticks take on a busy machine.
  std::optional<int> Run(int quitAfterTicks);
  pid_t Pid() const { return process_->Pid(); }
  // Its standard output until it closes it.
  std::string RestOfOutput(Milliseconds within) { return process_->RestOfOutput(within); }
  std::string Stderr() const { return ReadText(dir_ / "stderr.txt"); }

 private:
  TempDir dir_;
  EnvironmentChanges environment_;
  std::optional<Process> process_;
};

}  // namespace dornvel::testing
