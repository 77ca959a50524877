#pragma once

#include <optional>

namespace dornvel {

// The program takes no command line but --help and --version; any other
// argument is refused with the usage on standard error. Sets the application's
// version first, which --version reports. Returns the exit status when the
// program is to end without opening its window: 0 after answering, 2 after a
// refusal. Called before the application object exists, so that answering
// needs no display.
std::optional<int> AnswerCommandLine(int argc, char* argv[]);

}  // namespace dornvel
