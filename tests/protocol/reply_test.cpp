#include <gtest/gtest.h>

#include <cmath>

#include "harness/fakes.h"
#include "protocol/mb_data.h"
#include "protocol/reply_parser.h"

namespace dornvel::testing {
namespace {

NoEventPump pump;

constexpr auto kReadOneRegister = "01 03 00 00 00 01 84 0A";
constexpr auto kReadTwoRegisters = "01 04 00 00 00 02 71 CB";
constexpr auto kReadThreeRegisters = "01 03 00 00 00 03 05 CB";
constexpr auto kReadOneCoil = "01 01 00 00 00 01 FD CA";
constexpr auto kWriteOneRegister = "01 10 00 00 00 01 02 00 05 66 53";

ParsedReply Parse(const std::string& reply, const std::string& request, std::int32_t dataType, std::int16_t dataLen = 0,
                  std::optional<Bytes> unansweredBefore = std::nullopt) {
  return ParseReply(FromHex(reply), FromHex(request), unansweredBefore,
                    TagDefinition{1, HoldingRegisters, 0, dataType, dataLen}, pump);
}

TEST(Reply, good_replies_decode_by_function_and_value_type) {
  struct Case {
    std::string request;
    std::string reply;
    std::int32_t dataType;
    Value value;
  };
  const Case cases[] = {
      {kReadOneRegister, "01 03 02 4B 00 8E B4", IntegerType, Value(std::int16_t{19200})},
      {kReadOneRegister, "01 03 02 FF FF B9 F4", IntegerType, Value(std::int16_t{-1})},
      {kReadTwoRegisters, "01 04 04 00 00 41 48 CB E2", FloatType, Value(12.5f)},
      {kReadTwoRegisters, "01 04 04 00 00 3F 80 EB D4", FloatType, Value(1.0f)},
      {kReadTwoRegisters, "01 04 04 CC CD 3D CC 45 EE", FloatType, Value(0.1f)},
      {kReadOneCoil, "01 01 01 03 11 89", IntegerType, Value(false)},
      {kReadOneCoil, "01 01 01 01 90 48", IntegerType, Value(true)},
      {kReadThreeRegisters, "01 03 06 41 42 C0 C1 20 20 23 8F", TextType, Value("ABАБ")},
  };
  for (const auto& c : cases) {
    ParsedReply parsed = Parse(c.reply, c.request, c.dataType, 4);
    EXPECT_EQ(parsed.outcome, ReplyOutcome::Good) << c.reply;
    ASSERT_TRUE(parsed.value) << c.reply;
    EXPECT_EQ(parsed.value->Get(), c.value.Get()) << c.reply;
  }
}

TEST(Reply, replies_without_a_value_to_keep_are_good_and_decode_nothing) {
  const std::pair<std::string, std::string> cases[] = {
      {kWriteOneRegister, "01 10 00 00 00 01 01 C9"},
      {kReadOneRegister, "01 03 02 00 00 B8 44"},
  };
  for (const auto& [request, reply] : cases) {
    ParsedReply parsed = Parse(reply, request, BitType);
    EXPECT_EQ(parsed.outcome, ReplyOutcome::Good) << reply;
    EXPECT_FALSE(parsed.value) << reply;
  }
}

TEST(Reply, checks_come_in_order_crc_then_address_then_the_request_then_exception) {
  struct Case {
    std::string request;
    std::string reply;
    ReplyOutcome outcome;
    int code;
  };
  const Case cases[] = {
      {kReadOneRegister, "01 83 02 C0 F1", ReplyOutcome::Exception, 2},
      {kReadOneRegister, "01 83 0A C1 37", ReplyOutcome::Exception, 10},
      {kReadOneRegister, "01 03 02 4B 00 8E B5", ReplyOutcome::BadCrc, 0},
      {kReadTwoRegisters, "02 04 04 00 00 41 48 F8 E2", ReplyOutcome::ForeignSlave, 2},
      {kReadTwoRegisters, "02 04 04 00 00 41 48 F8 E3", ReplyOutcome::BadCrc, 0},
      {kReadOneRegister, "02 04 04 00 00 41 48 F8 E2", ReplyOutcome::ForeignSlave, 2},
      {kReadOneRegister, "01 04 04 00 00 41 48 CB E2", ReplyOutcome::NotAnAnswer, 0},
      {kReadOneRegister, "01 84 02 C2 C1", ReplyOutcome::NotAnAnswer, 0},
      {kReadOneRegister, "00 00", ReplyOutcome::BadCrc, 0},
  };
  for (const auto& c : cases) {
    ParsedReply parsed = Parse(c.reply, c.request, FloatType);
    EXPECT_EQ(parsed.outcome, c.outcome) << c.reply;
    EXPECT_EQ(parsed.code, c.code) << c.reply;
  }
}

TEST(Reply, replies_too_short_to_decode_are_no_answer_and_never_read_the_crc_as_data) {
  const std::tuple<std::string, std::string, std::int32_t> cases[] = {
      {kReadTwoRegisters, "", FloatType},
      {kReadTwoRegisters, "01", FloatType},
      {kReadTwoRegisters, "FF FF", FloatType},                 // a good CRC of nothing, no address
      {kReadTwoRegisters, "01 7E 80", FloatType},              // an address, no function code
      {kReadTwoRegisters, "01 84 00 43", FloatType},           // an exception without its code
      {kReadTwoRegisters, "01 04 02 00 41 79", FloatType},     // two data bytes for a float
      {kReadTwoRegisters, "01 04 04 00 00 59 31", FloatType},  // half a float
      {kReadThreeRegisters, "01 03 0A A0 F7", TextType},       // a byte count with no bytes behind it
      {kReadOneCoil, "01 01 C1 E0", BitType},                  // a bit reply without its byte
  };
  for (const auto& [request, reply, dataType] : cases) {
    EXPECT_EQ(Parse(reply, request, dataType, 4).outcome, ReplyOutcome::NotAnAnswer) << reply;
  }
}

// Read replies carry no register address: after a request went unanswered, a
// reply that fits it as well as the request just sent may be its late answer.
TEST(Reply, a_reply_that_fits_the_request_that_went_unanswered_too_is_not_trusted) {
  const Bytes unansweredSameShape = FromHex("01 03 00 01 00 01 D5 CA");
  const Bytes unansweredOtherShape = FromHex(kReadTwoRegisters);
  EXPECT_EQ(Parse("01 03 02 00 07 F9 86", kReadOneRegister, IntegerType, 0, unansweredSameShape).outcome,
            ReplyOutcome::NotAnAnswer);
  EXPECT_EQ(Parse("01 83 02 C0 F1", kReadOneRegister, IntegerType, 0, unansweredSameShape).outcome,
            ReplyOutcome::NotAnAnswer);
  ParsedReply parsed = Parse("01 03 02 00 07 F9 86", kReadOneRegister, IntegerType, 0, unansweredOtherShape);
  EXPECT_EQ(parsed.outcome, ReplyOutcome::Good);
  EXPECT_EQ(parsed.value, Value(std::int16_t{7}));
}

}  // namespace
}  // namespace dornvel::testing
