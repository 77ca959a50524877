#include "platform/system_input.h"

namespace dornvel {

// QSerialPort's own waits, whatever they report, on Windows.
std::optional<int> SystemInputWaiting(QSerialPort&) { return std::nullopt; }

bool WaitForSystemInput(QSerialPort&, Duration) { return true; }

}  // namespace dornvel
