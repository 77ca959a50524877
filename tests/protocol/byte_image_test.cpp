#include "protocol/byte_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "harness/fakes.h"

namespace dornvel::testing {
namespace {

TEST(ByteImage, even_rounds_odd_numbers_up) {
  const std::pair<std::int16_t, std::int16_t> cases[] = {{3, 4}, {4, 4}, {0, 0}, {-3, -2}, {-1, 0}, {32765, 32766}};
  for (auto [in, out] : cases) EXPECT_EQ(Even(in), out) << in;
  EXPECT_EQ(RaisedError([] { Even(32767); }), 6);
}

TEST(ByteImage, float_travels_in_memory_order_least_significant_first) {
  std::uint8_t bytes[5] = {};
  SingleToBytes(bytes, 1.0f);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 4), (std::vector<std::uint8_t>{0x00, 0x00, 0x80, 0x3F}));
  EXPECT_EQ(BytesToSingle(bytes), 1.0f);

  const std::uint8_t tenth[] = {0xCD, 0xCC, 0xCC, 0x3D};
  EXPECT_EQ(BytesToSingle(tenth), 0.1f);
}

TEST(ByteImage, integer_travels_low_byte_first) {
  std::uint8_t bytes[3] = {};
  IntegerToBytes(bytes, -2);
  EXPECT_EQ(bytes[0], 0xFE);
  EXPECT_EQ(bytes[1], 0xFF);
  EXPECT_EQ(BytesToInteger(bytes), -2);
}

TEST(ByteImage, arrays_too_small_for_the_value_raise_subscript_errors) {
  std::vector<std::uint8_t> none;
  std::uint8_t two[2] = {};
  std::uint8_t one[1] = {};
  EXPECT_EQ(RaisedError([&] { SingleToBytes(none, 1.0f); }), 9);
  EXPECT_EQ(RaisedError([&] { SingleToBytes(two, 1.0f); }), 9);
  EXPECT_EQ(RaisedError([&] { BytesToSingle(two); }), 9);
  EXPECT_EQ(RaisedError([&] { IntegerToBytes(one, 1); }), 9);
  EXPECT_EQ(RaisedError([&] { BytesToInteger(none); }), 9);
}

}  // namespace
}  // namespace dornvel::testing
