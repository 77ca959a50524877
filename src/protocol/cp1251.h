#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dornvel {

// Texts are UTF-8 in the program and single bytes of Windows-1251 on the line, so
// the device's Cyrillic texts survive the trip.

// One byte per character; a character the code page lacks (or broken UTF-8)
// becomes '?'.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view bytes);

}  // namespace dornvel
