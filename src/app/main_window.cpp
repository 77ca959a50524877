#include "app/main_window.h"

#include "platform/qt_serial_control.h"

namespace dornvel {

MainWindow MakeMainWindow(ProtocolServices services, SettingsStore& settings, Dialogs& dialogs,
                          YesNoQuestion& question) {
  auto form = std::make_unique<FormMain>(
      services, [](HostWindow* parent) { return std::make_unique<QtSerialControl>(parent); }, settings, dialogs);
  auto* tools = new WindowTools(*form, services, dialogs, question);
  return {std::move(form), tools};
}

}  // namespace dornvel
