#pragma once

#include <QSerialPort>

#include "protocol/bytes.h"

namespace dornvel {

// QSerialPort writes through a notifier it switches on for each write and off
// once the bytes are gone: two more passes of the event loop, and two wake-ups
// of it, for every request. This hands a frame to the system directly instead.
// Returns how many of its bytes the system took (from none to all); the rest,
// if any, goes through QSerialPort. Only when QSerialPort holds nothing unsent,
// so that the bytes keep their order.
std::size_t WriteToSystem(QSerialPort& port, const Bytes& frame);

}  // namespace dornvel
