#include "program_process.h"

#include <cstdlib>
#include <string>

namespace dornvel::bench {

e2e::Process StartProgram(const e2e::TempDir& dir, std::optional<int> quitAfterTicks) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
  if (quitAfterTicks) {
    ::setenv("DORNVEL_QUIT_AFTER_TICKS", std::to_string(*quitAfterTicks).c_str(), 1);
  } else {
    ::unsetenv("DORNVEL_QUIT_AFTER_TICKS");
  }
  return e2e::Process(DORNVEL_PROGRAM_PATH, {}, dir / "dornvel-stderr.txt");
}

}  // namespace dornvel::bench
