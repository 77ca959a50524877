#pragma once

// Requests and replies of the meter's four tags on slave 1, as hex. The CRCs were
// computed apart from the program (CRC-16/MODBUS, low byte first).
namespace dornvel::testing::frames {

inline constexpr char kReadNolu[] = "01 04 00 00 00 02 71 CB";
inline constexpr char kReadSwitch[] = "01 04 00 02 00 01 90 0A";
inline constexpr char kReadSlaveId[] = "01 03 00 00 00 01 84 0A";
inline constexpr char kReadBoudrate[] = "01 03 00 01 00 01 D5 CA";

inline constexpr char kNolu12_5[] = "01 04 04 00 00 41 48 CB E2";  // float 12.5
inline constexpr char kNolu12_4[] = "01 04 04 66 66 41 46 B4 B1";  // float 12.4
inline constexpr char kSwitch7[] = "01 04 02 00 07 F8 F2";
inline constexpr char kSwitch0[] = "01 04 02 00 00 B9 30";
inline constexpr char kSwitchBadCrc[] = "01 04 02 00 00 B9 31";
inline constexpr char kSlaveId1[] = "01 03 02 00 01 79 84";
inline constexpr char kBoudrate9600[] = "01 03 02 25 80 A3 74";

}  // namespace dornvel::testing::frames
