#pragma once

#include <QString>

class QLineEdit;

namespace dornvel {

// Shows `exact`, a value written with its box's pattern, in `box`. A number too
// wide for the box is shown in scientific notation with as many digits as fit
// (123456792 as 1.2346E8), and its exact text goes to the box's tooltip: the
// box scrolls a text that does not fit and would show only its tail.
void ShowValueText(QLineEdit& box, const QString& exact);

}  // namespace dornvel
