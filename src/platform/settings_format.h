#pragma once

#include <QSettings>

namespace dornvel {

// How the user's settings are kept here: an INI file on Linux (what a Linux
// user looks for and may edit), the registry on Windows (per user, as Windows
// programs keep theirs).
QSettings::Format UserSettingsFormat();

}  // namespace dornvel
