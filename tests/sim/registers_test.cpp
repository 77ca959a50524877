#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "harness/rtu_client.h"
#include "harness/simulator.h"

namespace dornvel::testing {
namespace {

float FloatOf(const Bytes& reply) {
  // Data bytes C D A B: low half of the float first, each half high byte first.
  std::uint32_t bits = static_cast<std::uint32_t>(reply[5]) << 24 | static_cast<std::uint32_t>(reply[6]) << 16 |
                       static_cast<std::uint32_t>(reply[3]) << 8 | reply[4];
  return std::bit_cast<float>(bits);
}

class SimRegisters : public ::testing::Test {
 protected:
  TempDir dir;
};

TEST_F(SimRegisters, the_frames_of_the_four_tags_get_the_exact_replies) {
  // The program's requests for its four tags, written out with their CRC,
  // so the test's own CRC plays no part here.
  struct Case {
    const char* tag;
    Bytes request;
    Bytes replyWithoutCrc;
  };
  const Case cases[] = {
      {"nolu", {0x01, 0x04, 0x00, 0x00, 0x00, 0x02, 0x71, 0xCB}, {0x01, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48}},
      {"switch", {0x01, 0x04, 0x00, 0x02, 0x00, 0x01, 0x90, 0x0A}, {0x01, 0x04, 0x02, 0x00, 0x03}},
      {"slaveid", {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A}, {0x01, 0x03, 0x02, 0x00, 0x01}},
      {"boudrate", {0x01, 0x03, 0x00, 0x01, 0x00, 0x01, 0xD5, 0xCA}, {0x01, 0x03, 0x02, 0x25, 0x80}},
  };
  Simulator sim(dir, {"--resistance", "12.5", "--switch", "3"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    client.Send(c.request);
    EXPECT_EQ(ToHex(client.Receive()), ToHex(WithCrc(c.replyWithoutCrc)));
  }
  // 12.5 kilohms on the line, bytes C D A B of the float.
  client.Send({0x01, 0x04, 0x00, 0x00, 0x00, 0x02, 0x71, 0xCB});
  EXPECT_EQ(ToHex(client.Receive()), "01 04 04 00 00 41 48 CB E2");
}

TEST_F(SimRegisters, the_resistance_travels_low_half_first_for_any_value) {
  struct Case {
    const char* value;
    Bytes data;
  };
  const Case cases[] = {
      {"1.0", {0x00, 0x00, 0x3F, 0x80}},
      {"100", {0x00, 0x00, 0x42, 0xC8}},
      {"-2.5", {0x00, 0x00, 0xC0, 0x20}},
      {"0.1", {0xCC, 0xCD, 0x3D, 0xCC}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    TempDir own;
    Simulator sim(own, {"--resistance", c.value});
    ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
    RtuClient client(sim.Path());
    Bytes expected = {0x01, 0x04, 0x04};
    expected.insert(expected.end(), c.data.begin(), c.data.end());
    EXPECT_EQ(ToHex(client.Transact({0x01, 0x04, 0x00, 0x00, 0x00, 0x02})), ToHex(WithCrc(expected)));
  }
}

TEST_F(SimRegisters, the_switch_slave_id_and_baud_rate_options_show_in_the_registers) {
  Simulator sim(dir, {"--switch", "-1", "--slave", "17", "--baud", "19200"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path(), B19200);
  EXPECT_EQ(ToHex(client.Transact({0x11, 0x04, 0x00, 0x02, 0x00, 0x01})),
            ToHex(WithCrc({0x11, 0x04, 0x02, 0xFF, 0xFF})));
  EXPECT_EQ(ToHex(client.Transact({0x11, 0x03, 0x00, 0x00, 0x00, 0x02})),
            ToHex(WithCrc({0x11, 0x03, 0x04, 0x00, 0x11, 0x4B, 0x00})));
  Bytes allInputs = client.Transact({0x11, 0x04, 0x00, 0x00, 0x00, 0x03});
  ASSERT_EQ(allInputs.size(), 11u) << "all three input registers in one read: " << ToHex(allInputs);
  EXPECT_EQ(allInputs[2], 6);
  EXPECT_EQ(allInputs[7], 0xFF);
  EXPECT_EQ(allInputs[8], 0xFF);
  EXPECT_TRUE(CrcIsValid(allInputs));
}

TEST_F(SimRegisters, addresses_outside_the_map_and_other_functions_get_exceptions) {
  Simulator sim(dir, {});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x04, 0x00, 0x03, 0x00, 0x01})), ToHex(WithCrc({0x01, 0x84, 0x02})));
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x03, 0x00, 0x02, 0x00, 0x01})), ToHex(WithCrc({0x01, 0x83, 0x02})));
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x03, 0x00, 0x00, 0x00, 0x03})), ToHex(WithCrc({0x01, 0x83, 0x02})));
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x01, 0x00, 0x00, 0x00, 0x01})), ToHex(WithCrc({0x01, 0x81, 0x01})));
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x05, 0x00, 0x02, 0xFF, 0x00})), ToHex(WithCrc({0x01, 0x85, 0x01})));
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x11})), ToHex(WithCrc({0x01, 0x91, 0x01})));
}

TEST_F(SimRegisters, requests_for_another_slave_or_with_a_bad_crc_go_unanswered) {
  Simulator sim(dir, {"--resistance", "12.5"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  EXPECT_TRUE(client.Transact({0x02, 0x04, 0x00, 0x00, 0x00, 0x02}, 250ms).empty());
  client.Send({0x01, 0x04, 0x00, 0x00, 0x00, 0x02, 0x71, 0xCC});
  EXPECT_TRUE(client.Receive(250ms).empty());
  client.Send({0x01, 0x04, 0x00, 0x00, 0x00});
  EXPECT_TRUE(client.Receive(250ms).empty()) << "a frame cut short";
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x04, 0x00, 0x00, 0x00, 0x02})), "01 04 04 00 00 41 48 CB E2")
      << "and the next good request is answered";
  ASSERT_EQ(sim.Stop(), 0);
  auto counters = sim.Counters();
  EXPECT_EQ(counters["requests"], 1);
  EXPECT_EQ(counters["ignored"], 3);
}

TEST_F(SimRegisters, without_a_fixed_value_the_resistance_drifts_within_a_plausible_band) {
  Simulator sim(dir, {"--drift-around", "2000", "--seed", "5"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  for (int i = 0; i < 3; ++i) {
    Bytes reply = client.Transact({0x01, 0x04, 0x00, 0x00, 0x00, 0x02});
    ASSERT_EQ(reply.size(), 9u);
    ASSERT_TRUE(CrcIsValid(reply));
    float value = FloatOf(reply);
    EXPECT_GT(value, 1800.0f);
    EXPECT_LT(value, 2200.0f);
  }
}

}  // namespace
}  // namespace dornvel::testing
