#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/value.h"

namespace dornvel {

// The Russian texts of outcome codes: 0 good, 1-8 Modbus exceptions, 9 foreign
// address, 10 bad CRC; any other number gives the undocumented-error text.
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
}  // namespace status_text

}  // namespace dornvel
