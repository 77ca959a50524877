#include "harness/program_process.h"

#include <sys/stat.h>

#include <fstream>

namespace dornvel::testing {

namespace {

constexpr Milliseconds kRunLimit(30000);

}  // namespace

ProgramProcess::ProgramProcess(const PortDevices& ports) : environment_(PortEnvironment(ports)) {
  std::filesystem::create_directories(ConfigHome());
  // Qt wants the runtime folder private to the user.
  std::filesystem::create_directory(dir_ / "runtime");
  ::chmod((dir_ / "runtime").c_str(), 0700);
  environment_.insert({{"XDG_CONFIG_HOME", ConfigHome().string()},
                       {"XDG_RUNTIME_DIR", (dir_ / "runtime").string()},
                       {"QT_QPA_PLATFORM", "offscreen"},
                       {"DORNVEL_TRACE", std::nullopt},
                       {"DORNVEL_SCREENSHOT", std::nullopt}});
}

void ProgramProcess::WriteSettings(const std::string& bytes) const {
  std::filesystem::create_directories(SettingsFile().parent_path());
  std::ofstream(SettingsFile(), std::ios::binary) << bytes;
}

void ProgramProcess::SetEnvironment(const std::string& name, std::optional<std::string> value) {
  environment_[name] = std::move(value);
}

void ProgramProcess::Start(std::optional<int> quitAfterTicks, const std::vector<std::string>& arguments) {
  EnvironmentChanges environment = environment_;
  environment["DORNVEL_QUIT_AFTER_TICKS"] =
      quitAfterTicks ? std::optional<std::string>(std::to_string(*quitAfterTicks)) : std::nullopt;
  process_.emplace(DORNVEL_PROGRAM_PATH, arguments, dir_ / "stderr.txt", environment);
}

std::optional<int> ProgramProcess::WaitForExit(Milliseconds within) { return process_->WaitForExit(within); }

std::optional<int> ProgramProcess::Stop(int signal, Milliseconds within) { return process_->Stop(signal, within); }

std::optional<int> ProgramProcess::Run(int quitAfterTicks) {
  Start(quitAfterTicks);
  return WaitForExit(kRunLimit);
}

}  // namespace dornvel::testing
