#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "sim_harness.h"

namespace dornvel::reliability {

// The dornvel program as a child process on Qt's offscreen platform, with a
// configuration folder of its own (XDG_CONFIG_HOME) and only the ports the test
// names: every other port number names a path that does not exist, so no real
// serial port is touched. The program closes its window after a number of
// ticks (DORNVEL_QUIT_AFTER_TICKS).
class ProgramRun {
 public:
  explicit ProgramRun(std::map<int, std::string> ports = {});

  // Where the program keeps its settings: <config>/dornvel/dornvel.ini.
  std::filesystem::path ConfigHome() const { return dir_ / "config"; }
  std::filesystem::path SettingsFile() const { return ConfigHome() / "dornvel" / "dornvel.ini"; }
  // Puts `bytes` where the program reads its settings.
  void WriteSettings(const std::string& bytes) const;
  std::string SavedSettings() const { return e2e::read_text(SettingsFile()); }

  void Start(int quitAfterTicks);
  // The exit code; nothing when the program was still running after `within`
  // (it is killed then).
  std::optional<int> WaitForExit(e2e::Milliseconds within);
  // Start, then wait.
  std::optional<int> Run(int quitAfterTicks);
  std::string Stderr() const { return e2e::read_text(dir_ / "stderr.txt"); }

 private:
  e2e::TempDir dir_;
  std::map<int, std::string> ports_;
  std::optional<e2e::Process> process_;
};

// How many lines of `text` contain `phrase`.
int LinesWith(const std::string& text, const std::string& phrase);

}  // namespace dornvel::reliability
