#include "platform/settings_format.h"

namespace dornvel {

QSettings::Format UserSettingsFormat() { return QSettings::IniFormat; }

}  // namespace dornvel
