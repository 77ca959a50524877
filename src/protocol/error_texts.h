#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/value.h"

namespace dornvel {

// The master's own outcome codes, beside 0 (good) and the device's exception codes.
inline constexpr std::uint8_t kForeignSlaveError = 9;
inline constexpr std::uint8_t kBadCrcError = 10;
// A reply too short to decode, or not shaped as an answer to the request sent.
// 11 is left to the device: it is a gateway's exception code.
inline constexpr std::uint8_t kNotAnAnswerError = 12;

// The Russian texts of outcome codes: 0 good, 1-8 Modbus exceptions and the
// master's own codes above; any other number gives the undocumented-error text.
std::string GetErrorText(const Value& errCode);

// Status messages of a transaction, shown in panel 4 of the window.
namespace status_text {
inline constexpr std::string_view kPortNotOpen = "MBData/GetData: Comm не открыт...";
inline constexpr std::string_view kStaleInput = "CommPort - не пуст!!!";
std::string Busy(std::string_view tagName);
std::string Timeout(std::string_view tagName);
std::string BadCrc(std::string_view tagName);
std::string ForeignSlave(std::string_view tagName, std::uint8_t address);
std::string Exception(std::string_view tagName, std::uint8_t code);
std::string NotAnAnswer(std::string_view tagName);
}  // namespace status_text

}  // namespace dornvel
