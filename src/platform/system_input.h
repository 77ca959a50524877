#pragma once

#include <QSerialPort>
#include <optional>

#include "protocol/clock.h"

namespace dornvel {

// QSerialPort reports every wait that ends without data as a time-out error,
// with a translated message; the polling of a transaction asks "anything
// new?" many times a reply. These ask the system directly instead, so that
// QSerialPort is called only when there is something to take in.

// Bytes the system holds for the open port, not yet taken in by QSerialPort;
// none when the system cannot tell (QSerialPort then looks itself).
std::optional<int> SystemInputWaiting(QSerialPort& port);

// Blocks until the system holds input for the open port or the limit passes;
// true when there may be input (or the system cannot tell).
bool WaitForSystemInput(QSerialPort& port, Duration limit);

}  // namespace dornvel
