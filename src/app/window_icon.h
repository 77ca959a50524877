#pragma once

#include <QIcon>

namespace dornvel {

// The program's icon in every size the desktop icon comes in, from the
// program's resources; the window shows it where the desktop has none.
QIcon WindowIcon();

}  // namespace dornvel
