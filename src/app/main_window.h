#pragma once

#include <memory>

#include "protocol/protocol_services.h"
#include "ui/form_main.h"
#include "ui/window_tools.h"

namespace dornvel {

class Dialogs;
class SettingsStore;
class YesNoQuestion;

// The program's window and the tools of its context menu.
struct MainWindow {
  std::unique_ptr<FormMain> form;
  WindowTools* tools = nullptr;  // the form's child
};

// The window as the program builds it: on the Qt serial control, with the
// given clock, event pump, settings and boxes. The tests build it here too, so
// that they run the window the program runs.
MainWindow MakeMainWindow(ProtocolServices services, SettingsStore& settings, Dialogs& dialogs,
                          YesNoQuestion& question);

}  // namespace dornvel
