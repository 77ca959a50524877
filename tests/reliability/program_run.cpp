#include "program_run.h"

#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "scoped_env.h"

namespace dornvel::reliability {

namespace {

constexpr int kLastPort = 16;
// Long enough for a few ticks of a second each on a busy machine.
constexpr auto kRunLimit = e2e::Milliseconds(30000);

}  // namespace

ProgramRun::ProgramRun(std::map<int, std::string> ports) : ports_(std::move(ports)) {
  std::filesystem::create_directories(ConfigHome());
  // Qt wants the runtime folder private to the user.
  std::filesystem::create_directory(dir_ / "runtime");
  ::chmod((dir_ / "runtime").c_str(), 0700);
}

void ProgramRun::WriteSettings(const std::string& bytes) const {
  std::filesystem::create_directories(SettingsFile().parent_path());
  std::ofstream(SettingsFile(), std::ios::binary) << bytes;
}

void ProgramRun::Start(int quitAfterTicks) {
  using testing::ScopedEnv;
  // The child takes a copy of this environment when it is spawned.
  std::vector<std::unique_ptr<ScopedEnv>> environment;
  const auto set = [&](const std::string& name, std::optional<std::string> value) {
    environment.push_back(std::make_unique<ScopedEnv>(name, std::move(value)));
  };
  set("XDG_CONFIG_HOME", ConfigHome().string());
  set("XDG_RUNTIME_DIR", (dir_ / "runtime").string());
  set("QT_QPA_PLATFORM", "offscreen");
  set("DORNVEL_QUIT_AFTER_TICKS", std::to_string(quitAfterTicks));
  set("DORNVEL_SCREENSHOT", std::nullopt);
  set("DORNVEL_TRACE", std::nullopt);
  for (int n = 1; n <= kLastPort; ++n) {
    const auto named = ports_.find(n);
    set("DORNVEL_COM" + std::to_string(n), named != ports_.end() ? named->second : (dir_ / "no-such-port").string());
  }
  process_.emplace(DORNVEL_PROGRAM_PATH, std::vector<std::string>{}, dir_ / "stderr.txt");
}

std::optional<int> ProgramRun::WaitForExit(e2e::Milliseconds within) { return process_->wait_exit(within); }

std::optional<int> ProgramRun::Run(int quitAfterTicks) {
  Start(quitAfterTicks);
  return WaitForExit(kRunLimit);
}

int LinesWith(const std::string& text, const std::string& phrase) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.find(phrase) != std::string::npos;
  return count;
}

}  // namespace dornvel::reliability
