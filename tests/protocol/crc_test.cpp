#include "protocol/crc.h"

#include <gtest/gtest.h>

#include "harness/fakes.h"

namespace dornvel::testing {
namespace {

std::uint16_t CrcOf(const std::string& hex, NoEventPump& pump) {
  Crc crc;
  CrcInit(crc);
  for (auto b : FromHex(hex)) CrcUpdate(crc, b, pump);
  return static_cast<std::uint16_t>(crc.CrcHi << 8 | crc.CrcLo);
}

TEST(Crc, matches_the_published_crc16_modbus_vectors) {
  struct Case {
    std::string data;
    std::uint16_t crc;
  };
  const Case cases[] = {
      {"31 32 33 34 35 36 37 38 39", 0x4B37},  // the "123456789" check value
      {"01 03 00 00 00 01", 0x0A84},          {"01 03 00 12 00 08", 0x09E4},
      {"01 04 00 00 00 02", 0xCB71},          {"", 0xFFFF},
  };
  for (const auto& c : cases) {
    NoEventPump pump;
    EXPECT_EQ(CrcOf(c.data, pump), c.crc) << c.data;
  }
}

TEST(Crc, lets_events_run_once_per_bit) {
  NoEventPump pump;
  CrcOf("01 03 00 00 00 01", pump);
  EXPECT_EQ(pump.passes, 6 * 8);
}

}  // namespace
}  // namespace dornvel::testing
