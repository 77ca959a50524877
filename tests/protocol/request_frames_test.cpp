#include "protocol/request_frames.h"

#include <gtest/gtest.h>

#include "harness/fakes.h"
#include "protocol/mb_data.h"

namespace dornvel::testing {
namespace {

NoEventPump pump;

TagDefinition Tag(std::int32_t regType, std::int32_t address, std::int32_t dataType, std::int16_t dataLen = 0) {
  return {1, regType, address, dataType, dataLen};
}

TEST(RequestFrames, read_requests_of_the_window_tags_match_the_line_byte_for_byte) {
  struct Case {
    const char* name;
    TagDefinition tag;
    std::string frame;
  };
  const Case cases[] = {
      {"nolu", Tag(InputRegisters, 0, FloatType), "01 04 00 00 00 02 71 CB"},
      {"switch", Tag(InputRegisters, 2, IntegerType), "01 04 00 02 00 01 90 0A"},
      {"slaveid", Tag(HoldingRegisters, 0, IntegerType), "01 03 00 00 00 01 84 0A"},
      {"boudrate", Tag(HoldingRegisters, 1, IntegerType), "01 03 00 01 00 01 D5 CA"},
      {"address 256", Tag(HoldingRegisters, 256, IntegerType), "01 03 01 00 00 01 85 F6"},
      {"address 9998", Tag(HoldingRegisters, 9998, IntegerType), "01 03 27 0E 00 01 EF 7D"},
      {"text of 5", Tag(InputRegisters, 0, TextType, 5), "01 04 00 00 00 03 B0 0B"},
      {"coil", Tag(Coils, 2, BitType), "01 01 00 02 00 01 5C 0A"},
      {"discrete input", Tag(DiscreteInputs, 0, BitType), "01 02 00 00 00 01 B9 CA"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToHex(BuildReadRequest(c.tag, pump)), c.frame) << c.name;
}

TEST(RequestFrames, write_requests_encode_the_value_by_its_type) {
  struct Case {
    const char* name;
    TagDefinition tag;
    Value value;
    std::string frame;
  };
  const Case cases[] = {
      {"5 to slaveid", Tag(HoldingRegisters, 0, IntegerType), Value(5.0), "01 10 00 00 00 01 02 00 05 66 53"},
      {"19200 to boudrate", Tag(HoldingRegisters, 1, IntegerType), Value(19200.0), "01 10 00 01 00 01 02 4B 00 91 71"},
      {"1.0 as float", Tag(HoldingRegisters, 0, FloatType), Value(1.0), "01 10 00 00 00 02 04 00 00 3F 80 E3 FF"},
      {"coil on", Tag(Coils, 2, BitType), Value(true), "01 05 00 02 FF 00 2D FA"},
      {"2.5 rounds to even", Tag(HoldingRegisters, 0, IntegerType), Value(2.5), "01 10 00 00 00 01 02 00 02 27 91"},
      {"text padded", Tag(HoldingRegisters, 0, TextType, 5), Value("AB"),
       "01 10 00 00 00 03 06 41 42 20 20 20 20 83 8C"},
      {"text cut", Tag(HoldingRegisters, 0, TextType, 4), Value("ABCDEF"), "01 10 00 00 00 02 04 41 42 43 44 76 84"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToHex(BuildWriteRequest(c.tag, c.value, pump)), c.frame) << c.name;
}

// The data bytes of a write, between the header and the CRC.
std::string WriteData(const TagDefinition& tag, const Value& value, std::size_t headerSize) {
  Bytes frame = BuildWriteRequest(tag, value, pump);
  return ToHex(Bytes(frame.begin() + static_cast<long>(headerSize), frame.end() - 2));
}

TEST(RequestFrames, coil_writes_send_ff00_for_true_and_0000_for_false) {
  const std::pair<Value, std::string> cases[] = {
      {Value(0.0), "00 00"}, {Value(false), "00 00"}, {Value(), "00 00"},     {Value("0"), "00 00"},
      {Value(1.0), "FF 00"}, {Value(-1.0), "FF 00"},  {Value(true), "FF 00"}, {Value("True"), "FF 00"},
  };
  for (const auto& [value, data] : cases)
    EXPECT_EQ(WriteData(Tag(Coils, 0, BitType), value, 4), data) << value.ToText();
}

TEST(RequestFrames, integer_writes_round_half_to_even_and_split_high_byte_first) {
  const std::pair<Value, std::string> cases[] = {
      {Value(65535.0), "FF FF"}, {Value(2.5), "00 02"},     {Value(3.5), "00 04"},
      {Value(9600.0), "25 80"},  {Value(19200.0), "4B 00"}, {Value(std::int16_t{7}), "00 07"},
      {Value(" 12 "), "00 0C"},  {Value(), "00 00"},
  };
  for (const auto& [value, data] : cases) {
    EXPECT_EQ(WriteData(Tag(HoldingRegisters, 0, IntegerType), value, 7), data) << value.ToText();
  }
}

TEST(RequestFrames, float_writes_send_the_low_register_first) {
  const std::pair<double, std::string> cases[] = {
      {1.0, "00 00 3F 80"}, {100.0, "00 00 42 C8"}, {-2.5, "00 00 C0 20"}, {0.1, "CC CD 3D CC"}};
  for (const auto& [value, data] : cases) {
    EXPECT_EQ(WriteData(Tag(HoldingRegisters, 0, FloatType), Value(value), 7), data) << value;
  }
}

TEST(RequestFrames, texts_travel_in_windows_1251) {
  EXPECT_EQ(WriteData(Tag(HoldingRegisters, 0, TextType, 4), Value("Ом Ё"), 7), "CE EC 20 A8");
}

TEST(RequestFrames, values_that_cannot_be_encoded_raise_numbered_errors) {
  struct Case {
    const char* name;
    TagDefinition tag;
    Value value;
    int error;
  };
  const Case cases[] = {
      {"integer -1", Tag(HoldingRegisters, 0, IntegerType), Value(-1.0), 6},
      {"integer 65536", Tag(HoldingRegisters, 0, IntegerType), Value(65536.0), 6},
      {"integer true", Tag(HoldingRegisters, 0, IntegerType), Value(true), 6},
      {"integer text", Tag(HoldingRegisters, 0, IntegerType), Value("abc"), 13},
      {"float text", Tag(HoldingRegisters, 0, FloatType), Value("1,5"), 13},
      {"float too large", Tag(HoldingRegisters, 0, FloatType), Value(1e39), 6},
      {"coil text", Tag(Coils, 0, BitType), Value("maybe"), 13},
      {"text too long", Tag(HoldingRegisters, 0, TextType, 255), Value("x"), 6},
      {"text negative", Tag(HoldingRegisters, 0, TextType, -3), Value("x"), 6},
      {"discrete input", Tag(DiscreteInputs, 0, BitType), Value(true), 5},
      {"input register", Tag(InputRegisters, 0, IntegerType), Value(1.0), 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RaisedError([&] { BuildWriteRequest(c.tag, c.value, pump); }), c.error) << c.name;
  }
  EXPECT_EQ(RaisedError([] { BuildReadRequest(Tag(2, 0, BitType), pump); }), 5);
  EXPECT_EQ(RaisedError([] { BuildReadRequest(Tag(InputRegisters, 0, TextType, 32767), pump); }), 6);
}

}  // namespace
}  // namespace dornvel::testing
