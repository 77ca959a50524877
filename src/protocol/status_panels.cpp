#include "protocol/status_panels.h"

#include <cstdio>
#include <string>

#include "protocol/host_window.h"
#include "protocol/numeric_text.h"

namespace dornvel {

void ShowMessage(HostWindow* window, std::string_view text) {
  if (window) window->SetMessageText(std::string(text));
}

void IncError(HostWindow* window) {
  if (!window) return;
  auto count = ParseNumber(window->ErrorCountText());
  if (!count) {
    window->SetErrorCountText("1");
    return;
  }
  char text[400];
  std::snprintf(text, sizeof text, "%.0f", RoundHalfEven(*count) + 1);
  window->SetErrorCountText(text);
}

}  // namespace dornvel
