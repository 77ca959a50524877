#include "protocol/value.h"

#include <gtest/gtest.h>

#include <cmath>

#include "harness/fakes.h"

namespace dornvel::testing {
namespace {

TEST(Value, compares_by_value_across_widths_and_kinds) {
  struct Case {
    Value a, b;
    bool equal;
  };
  const Case cases[] = {
      {Value(), Value(0.0), true},
      {Value(), Value(""), true},
      {Value(), Value(false), true},
      {Value(), Value(std::int16_t{1}), false},
      {Value(std::int16_t{5}), Value(5.0), true},
      {Value(12.5f), Value(12.5), true},
      {Value(0.1f), Value(0.1), false},
      {Value(true), Value(-1.0), true},
      {Value(true), Value(1.0), false},
      {Value("5"), Value(5.0), false},
      {Value("abc"), Value("abc"), true},
      {Value("abc"), Value("ABC"), false},
      {Value(""), Value(0.0), false},
      {Value(std::nan("")), Value(std::nan("")), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.a == c.b, c.equal) << c.a.ToText() << " vs " << c.b.ToText();
    EXPECT_EQ(c.b == c.a, c.equal) << c.b.ToText() << " vs " << c.a.ToText();
  }
}

TEST(Value, converts_for_the_encoders) {
  EXPECT_EQ(Value(" 12.5 ").ToNumber(), 12.5);
  EXPECT_EQ(Value().ToNumber(), 0.0);
  EXPECT_EQ(Value(true).ToNumber(), -1.0);
  EXPECT_EQ(RaisedError([] { Value("12 kOhm").ToNumber(); }), 13);

  const std::pair<Value, std::string> texts[] = {
      {Value(), ""},        {Value(true), "True"}, {Value(std::int16_t{-7}), "-7"},
      {Value(0.1f), "0.1"}, {Value(2.5), "2.5"},   {Value("Ом"), "Ом"},
  };
  for (const auto& [value, text] : texts) EXPECT_EQ(value.ToText(), text);
}

}  // namespace
}  // namespace dornvel::testing
