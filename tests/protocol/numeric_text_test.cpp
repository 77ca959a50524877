#include "protocol/numeric_text.h"

#include <gtest/gtest.h>

#include <optional>

namespace dornvel {
namespace {

TEST(NumericText, reads_signed_decimals_with_fraction_and_exponent) {
  const std::pair<const char*, double> numbers[] = {
      {"1", 1}, {" 247 ", 247}, {"+1.5e2", 150}, {"-.5", -0.5}, {"1.", 1}, {"9600.0", 9600}, {"2.5", 2.5}, {"\t7\t", 7},
  };
  for (const auto& [text, value] : numbers) EXPECT_EQ(ParseNumber(text), value) << text;
}

TEST(NumericText, refuses_everything_else) {
  for (const char* text :
       {"", " ", "abc", "1e", "e5", ".", "+", "inf", "nan", "0x10", "1,5", "1 2", "12abc", "--1", "1e999", "1E-400"}) {
    EXPECT_EQ(ParseNumber(text), std::nullopt) << text;
  }
}

TEST(NumericText, rounds_halves_to_the_even_neighbour) {
  const std::pair<double, double> cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {2.6, 3}};
  for (auto [in, out] : cases) EXPECT_EQ(RoundHalfEven(in), out) << in;
}

TEST(NumericText, converts_to_a_byte_only_inside_0_to_255) {
  const std::pair<double, std::optional<std::uint8_t>> cases[] = {
      {17, 17}, {2.5, 2}, {255.4, 255}, {-0.4, 0}, {255.5, std::nullopt}, {-1, std::nullopt}, {256, std::nullopt}};
  for (const auto& [in, out] : cases) EXPECT_EQ(ToByte(in), out) << in;
}

}  // namespace
}  // namespace dornvel
