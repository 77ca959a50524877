#include "protocol/reply_match.h"

#include <gtest/gtest.h>

#include "harness/fakes.h"

namespace dornvel::testing {
namespace {

constexpr auto kReadHolding = "01 03 00 00 00 01 84 0A";   // one register
constexpr auto kReadInputs = "01 04 00 00 00 02 71 CB";    // two registers
constexpr auto kReadCoils = "01 01 00 00 00 0A BC 0D";     // ten coils: two bytes
constexpr auto kReadDiscrete = "01 02 00 00 00 01 B9 CA";  // one input: one byte
constexpr auto kWriteRegister = "01 10 00 00 00 01 02 00 05 66 53";
constexpr auto kWriteCoil = "01 05 00 02 FF 00 2D FA";

TEST(ReplyMatch, a_reply_answers_only_the_function_and_length_its_request_implies) {
  struct Case {
    const char* request;
    const char* reply;
    bool answers;
    const char* what;
  };
  const Case cases[] = {
      {kReadHolding, "01 03 02 00 07 F9 86", true, "one register"},
      {kReadHolding, "01 03 01 07 B1 8A", false, "byte count one short"},
      {kReadHolding, "01 03 04 00 07 00 01 8A 32", false, "byte count one register long"},
      {kReadHolding, "01 03 02 00 07 00 F9 86", false, "a byte more than its count"},
      {kReadHolding, "01 04 02 00 07 F8 F2", false, "the input-register function"},
      {kReadInputs, "01 04 04 00 00 41 48 CB E2", true, "two registers"},
      {kReadInputs, "01 04 02 00 03 F9 31", false, "one register for two"},
      {kReadInputs, "01 03 04 00 00 41 48 CB E2", false, "the holding-register function"},
      {kReadCoils, "01 01 02 01 00 B8 6C", true, "ten coils in two bytes"},
      {kReadCoils, "01 01 01 E0 50", false, "ten coils in one byte"},
      {kReadDiscrete, "01 02 01 01 60 48", true, "one input"},
      {kReadDiscrete, "01 01 01 01 90 48", false, "the coil function"},
      {kWriteRegister, "01 10 00 00 00 01 01 C9", true, "the echo"},
      {kWriteRegister, "01 10 00 01 00 01 50 09", false, "an echo of another address"},
      {kWriteRegister, "01 10 00 00 00 02 41 C8", false, "an echo of another quantity"},
      {kWriteRegister, "01 10 00 00 00 01 01 C9 00", false, "an echo a byte long"},
      {kWriteRegister, "01 03 02 00 05 78 47", false, "a read reply"},
      {kWriteCoil, "01 05 00 02 FF 00 2D FA", true, "the echo"},
      {kWriteCoil, "01 05 00 02 00 00 6C 0A", false, "an echo of the other value"},
      {kWriteCoil, "01 05 00 03 FF 00 7C 3A", false, "an echo of another coil"},
      {kReadHolding, "01 83 02 C0 F1", true, "its exception"},
      {kReadHolding, "01 84 02 C2 C1", false, "the exception of another function"},
      {kReadHolding, "01 83 02 00 F1 50", false, "an exception a byte long"},
      {kWriteRegister, "01 90 03 0C 01", true, "its exception"},
      {kWriteCoil, "01 85 01 83 50", true, "its exception"},
      {kReadHolding, "", false, "nothing"},
      {kReadHolding, "01", false, "one byte"},
      {kReadHolding, "01 03", false, "two bytes"},
      {kReadHolding, "01 03 02", false, "three bytes"},
      {kReadHolding, "01 83 02 C0", false, "four bytes"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnswersRequest(FromHex(c.reply), FromHex(c.request)), c.answers)
        << c.request << " <- " << c.reply << " (" << c.what << ")";
  }
}

}  // namespace
}  // namespace dornvel::testing
