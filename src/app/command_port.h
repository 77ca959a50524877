#pragma once

#include <QString>
#include <optional>

namespace dornvel {

// Windows numbers its serial ports COM1 to COM256, and a command line may name
// any of them (the window's list stays 1 to 16).
inline constexpr int kLastCommandLinePort = 256;

// The port a command works on: `given` ("Com7", any letter case, as --port
// names it), else the "ComPort" the window saved. None, having said why on
// standard error, when `given` names no port or nothing usable is saved.
std::optional<int> CommandLinePort(const QString& given);

}  // namespace dornvel
