#pragma once

#include <QString>

namespace dornvel {

// The family of the window's text controls: "MS Sans Serif" where it is installed,
// else a sans family that covers Cyrillic, since the captions are Russian.
QString ControlFontFamily();

}  // namespace dornvel
