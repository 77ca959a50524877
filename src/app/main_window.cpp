#include "app/main_window.h"

#include "platform/qt_serial_control.h"

namespace dornvel {

std::unique_ptr<FormMain> MakeMainWindow(ProtocolServices services, SettingsStore& settings, Dialogs& dialogs) {
  return std::make_unique<FormMain>(
      services, [](HostWindow* parent) { return std::make_unique<QtSerialControl>(parent); }, settings, dialogs);
}

}  // namespace dornvel
