#include "platform/settings_format.h"

namespace dornvel {

// HKEY_CURRENT_USER\Software\<organisation>\<application>.
QSettings::Format UserSettingsFormat() { return QSettings::NativeFormat; }

}  // namespace dornvel
