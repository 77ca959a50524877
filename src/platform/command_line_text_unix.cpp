#include <iostream>

#include "platform/command_line_text.h"

namespace dornvel {

void ShowCommandLineText(const std::string& text, bool isError) {
  (isError ? std::cerr : std::cout) << text << std::flush;
}

}  // namespace dornvel
