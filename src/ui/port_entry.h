#pragma once

#include <QString>

#include <optional>

namespace dornvel {

// The port number a port entry such as "Com10" names: the number after its first
// three characters (the length of "Com"), else its last character when that is a
// digit. None when the entry names no number. A text shorter than "Com" has only
// its last character to go by.
std::optional<double> PortNumberOf(const QString& entry);

}  // namespace dornvel
