#include "ui/number_pattern.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace dornvel {
namespace {

TEST(NumberPattern, writes_whole_numbers_padded_to_the_pattern_width) {
  struct Case {
    Value value;
    int digits;
    const char* shown;
  } cases[] = {
      {Value(std::int16_t{5}), 4, "0005"},
      {Value(std::int16_t{1}), 2, "01"},
      {Value(std::int16_t{0}), 2, "00"},
      {Value(std::int16_t{1}), 4, "0001"},
      {Value(std::int16_t{19200}), 2, "19200"},
      {Value(12.4f), 1, "12"},
      {Value(12.6f), 1, "13"},
      {Value(12.5), 1, "13"},  // an exact half goes away from zero
      {Value(13.5), 1, "14"},
      {Value(2.5), 4, "0003"},
      {Value(-2.5), 2, "-03"},
      {Value(-12.4f), 1, "-12"},
      {Value(std::int16_t{-5}), 2, "-05"},
      {Value(std::int16_t{-1}), 4, "-0001"},
      {Value(-0.4), 2, "00"},  // rounds to zero, which has no sign
      {Value(true), 1, "-1"},
      {Value(false), 2, "00"},
      {Value(1e20), 1, "100000000000000000000"},
      {Value("7"), 2, "07"},
      {Value(" 2.5e1 "), 4, "0025"},
      {Value("abc"), 4, "abc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    EXPECT_EQ(FormatWithPattern(c.value, c.digits), c.shown);
  }
}

TEST(NumberPattern, shows_a_value_never_read_as_an_empty_box) { EXPECT_EQ(FormatWithPattern(Value(), 4), ""); }

TEST(NumberPattern, shows_fixed_texts_for_nan_and_the_infinities) {
  EXPECT_EQ(FormatWithPattern(Value(std::numeric_limits<float>::quiet_NaN()), 1), "NaN");
  EXPECT_EQ(FormatWithPattern(Value(std::numeric_limits<double>::infinity()), 2), "Inf");
  EXPECT_EQ(FormatWithPattern(Value(-std::numeric_limits<float>::infinity()), 4), "-Inf");
}

TEST(NumberPattern, writes_the_largest_numbers_with_all_their_digits) {
  const std::string shown = FormatWithPattern(Value(std::numeric_limits<double>::max()), 1);
  EXPECT_EQ(shown.size(), 309u);
  EXPECT_EQ(shown.substr(0, 5), "17976");
  EXPECT_EQ(FormatWithPattern(Value(std::numeric_limits<float>::max()), 1), "340282346638528859811704183484516925440");
}

}  // namespace
}  // namespace dornvel
