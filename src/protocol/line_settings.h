#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "protocol/clock.h"

namespace dornvel {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

// The line parameters of a settings text such as "9600,N,8,2".
struct LineSettings {
  int baudRate = 9600;
  Parity parity = Parity::None;
  int dataBits = 8;
  StopBits stopBits = StopBits::One;

  // Time one character takes on the line: start bit, data, parity, stop bits.
  Duration CharacterTime() const;
};

// Strict parse: baud a positive whole number, parity N/E/O/M/S, data bits 5-8,
// stop bits 1, 1.5 or 2; blanks around fields allowed. None when the text is bad.
std::optional<LineSettings> ParseLineSettings(std::string_view text);

// The meter's framing at `baud`: 8 data bits, no parity and 2 stop bits, so
// with the start bit 11 bits a character (1.146 ms at 9600 baud).
LineSettings MeterLine(int baud);
// Its settings text, "<baud>,N,8,2".
std::string MeterSettingsText(int baud);

}  // namespace dornvel
