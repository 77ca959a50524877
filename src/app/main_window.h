#pragma once

#include <memory>

#include "protocol/protocol_services.h"
#include "ui/form_main.h"

namespace dornvel {

class Dialogs;
class SettingsStore;

// The program's window as the program builds it: on the Qt serial control,
// with the given clock, event pump, settings and boxes. The tests build it here
// too, so that they run the window the program runs.
std::unique_ptr<FormMain> MakeMainWindow(ProtocolServices services, SettingsStore& settings, Dialogs& dialogs);

}  // namespace dornvel
