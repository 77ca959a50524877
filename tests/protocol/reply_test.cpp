#include <gtest/gtest.h>

#include <cmath>

#include "fakes.h"
#include "protocol/mb_data.h"
#include "protocol/reply_parser.h"

namespace dornvel::testing {
namespace {

NoEventPump pump;

ParsedReply Parse(const std::string& hex, std::int32_t dataType, std::int16_t dataLen = 0) {
  return ParseReply(FromHex(hex), TagDefinition{1, HoldingRegisters, 0, dataType, dataLen}, pump);
}

TEST(Reply, good_replies_decode_by_function_and_value_type) {
  struct Case {
    std::string reply;
    std::int32_t dataType;
    Value value;
  };
  const Case cases[] = {
      {"01 03 02 4B 00 8E B4", IntegerType, Value(std::int16_t{19200})},
      {"01 03 02 FF FF B9 F4", IntegerType, Value(std::int16_t{-1})},
      {"01 04 04 00 00 41 48 CB E2", FloatType, Value(12.5f)},
      {"01 04 04 00 00 3F 80 EB D4", FloatType, Value(1.0f)},
      {"01 04 04 CC CD 3D CC 45 EE", FloatType, Value(0.1f)},
      {"01 01 01 03 11 89", IntegerType, Value(false)},
      {"01 01 01 01 90 48", IntegerType, Value(true)},
      {"01 03 06 41 42 C0 C1 20 20 23 8F", TextType, Value("ABАБ")},
  };
  for (const auto& c : cases) {
    ParsedReply parsed = Parse(c.reply, c.dataType, 4);
    EXPECT_EQ(parsed.outcome, ReplyOutcome::Good) << c.reply;
    ASSERT_TRUE(parsed.value) << c.reply;
    EXPECT_EQ(parsed.value->Get(), c.value.Get()) << c.reply;
  }
}

TEST(Reply, replies_without_a_value_to_keep_are_good_and_decode_nothing) {
  for (const auto& reply : {"01 10 00 00 00 01 01 C9", "01 03 02 00 00 B8 44"}) {
    ParsedReply parsed = Parse(reply, BitType);
    EXPECT_EQ(parsed.outcome, ReplyOutcome::Good) << reply;
    EXPECT_FALSE(parsed.value) << reply;
  }
}

TEST(Reply, checks_come_in_order_crc_then_address_then_exception) {
  struct Case {
    std::string reply;
    ReplyOutcome outcome;
    int code;
  };
  const Case cases[] = {
      {"01 83 02 C0 F1", ReplyOutcome::Exception, 2},
      {"01 83 0A C1 37", ReplyOutcome::Exception, 10},
      {"01 03 02 4B 00 8E B5", ReplyOutcome::BadCrc, 0},
      {"02 04 04 00 00 41 48 F8 E2", ReplyOutcome::ForeignSlave, 2},
      {"02 04 04 00 00 41 48 F8 E3", ReplyOutcome::BadCrc, 0},
      {"00 00", ReplyOutcome::BadCrc, 0},
  };
  for (const auto& c : cases) {
    ParsedReply parsed = Parse(c.reply, FloatType);
    EXPECT_EQ(parsed.outcome, c.outcome) << c.reply;
    EXPECT_EQ(parsed.code, c.code) << c.reply;
  }
}

TEST(Reply, replies_too_short_for_their_value_never_read_the_crc_as_data) {
  const std::pair<std::string, std::int32_t> cases[] = {
      {"", FloatType},
      {"01", FloatType},
      {"FF FF", FloatType},                  // a good CRC of nothing, no address
      {"01 7E 80", FloatType},               // an address, no function code
      {"01 83 41 81", FloatType},            // an exception without its code
      {"01 04 02 00 41 79", FloatType},      // two data bytes for a float
      {"01 04 04 00 00 59 31", FloatType},   // half a float
      {"01 03 0A A0 F7", TextType},          // a text whose byte count has no bytes behind it
      {"01 01 C1 E0", BitType},              // a bit reply without its byte
  };
  for (const auto& [reply, dataType] : cases) {
    EXPECT_EQ(Parse(reply, dataType, 4).outcome, ReplyOutcome::TooShort) << reply;
  }
}

}  // namespace
}  // namespace dornvel::testing
