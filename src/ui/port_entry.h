#pragma once

#include <QString>
#include <optional>

namespace dornvel {

// The ports offered: Com1 to Com16.
inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 16;

// The list entry of port `number`: "Com" and the number.
QString PortEntry(int number);

// The port number a port entry such as "Com10" names: the number after its first
// three characters (the length of "Com"), else its last character when that is a
// digit. None when the entry names no number. A text shorter than "Com" has only
// its last character to go by.
std::optional<double> PortNumberOf(const QString& entry);

}  // namespace dornvel
