#pragma once

#include <string_view>

namespace dornvel {

class HostWindow;

// Panel 4 of the window: the last message of any tag. No window, no message.
void ShowMessage(HostWindow* window, std::string_view text);
// Panel 3 of the window: adds one to the error count ("1" when it holds no number).
void IncError(HostWindow* window);

}  // namespace dornvel
