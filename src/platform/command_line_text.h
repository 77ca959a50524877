#pragma once

#include <string>

namespace dornvel {

// Shows what the command line answers (--help, --version, a usage error)
// where the user who typed it sees it: standard output, or standard error for
// an error. A Windows window program has neither when started from a command
// prompt, so there it writes to the prompt's console, and with no console at
// all (a shortcut) shows a message box.
void ShowCommandLineText(const std::string& text, bool isError);

}  // namespace dornvel
