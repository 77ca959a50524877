#include <gtest/gtest.h>

#include "harness/rtu_client.h"
#include "harness/simulator.h"

namespace dornvel::testing {
namespace {

const Bytes kReadSlaveId = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
const Bytes kReadBaud = {0x01, 0x03, 0x00, 0x01, 0x00, 0x01};

Bytes WriteRegister(std::uint8_t slave, std::uint16_t address, std::uint16_t value) {
  return {slave, 0x10, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address), 0x00,
          0x01,  0x02, static_cast<std::uint8_t>(value >> 8),   static_cast<std::uint8_t>(value)};
}

Bytes EchoOfWrite(std::uint8_t slave, std::uint16_t address) {
  return WithCrc(
      {slave, 0x10, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address), 0x00, 0x01});
}

class SimWrites : public ::testing::Test {
 protected:
  TempDir dir;
};

TEST_F(SimWrites, without_the_jumper_a_write_is_refused_with_exception_1_and_changes_nothing) {
  Simulator sim(dir, {});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  // The program's frame for writing 5 to slaveid, CRC included.
  client.Send({0x01, 0x10, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x05, 0x66, 0x53});
  EXPECT_EQ(ToHex(client.Receive()), ToHex(WithCrc({0x01, 0x90, 0x01})));
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x06, 0x00, 0x01, 0x4B, 0x00})), ToHex(WithCrc({0x01, 0x86, 0x01})));
  EXPECT_EQ(ToHex(client.Transact(kReadSlaveId)), ToHex(WithCrc({0x01, 0x03, 0x02, 0x00, 0x01})));
  EXPECT_EQ(ToHex(client.Transact(kReadBaud)), ToHex(WithCrc({0x01, 0x03, 0x02, 0x25, 0x80})));
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_NE(sim.Log().find("write refused: jumper JP not set"), std::string::npos);
}

TEST_F(SimWrites, the_refusal_code_can_be_chosen) {
  Simulator sim(dir, {"--refuse-code", "4"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  EXPECT_EQ(ToHex(client.Transact(WriteRegister(1, 0, 5))), ToHex(WithCrc({0x01, 0x90, 0x04})));
}

TEST_F(SimWrites, with_the_jumper_a_new_slave_id_answers_from_the_next_request) {
  Simulator sim(dir, {"--jumper"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  client.Send({0x01, 0x10, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x05, 0x66, 0x53});
  EXPECT_EQ(ToHex(client.Receive()), ToHex(EchoOfWrite(1, 0))) << "the echo still comes from slave 1";
  EXPECT_TRUE(client.Transact(kReadSlaveId, 250ms).empty()) << "slave 1 is gone";
  EXPECT_EQ(ToHex(client.Transact({0x05, 0x03, 0x00, 0x00, 0x00, 0x01})),
            ToHex(WithCrc({0x05, 0x03, 0x02, 0x00, 0x05})));
}

TEST_F(SimWrites, a_new_baud_rate_is_heard_only_at_that_rate) {
  Simulator sim(dir, {"--jumper"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  client.Send({0x01, 0x10, 0x00, 0x01, 0x00, 0x01, 0x02, 0x4B, 0x00, 0x91, 0x71});
  EXPECT_EQ(ToHex(client.Receive()), ToHex(EchoOfWrite(1, 1)));
  EXPECT_TRUE(client.Transact(kReadBaud, 250ms).empty()) << "a request at 9600 is not heard";

  client.SetLine(B19200);
  EXPECT_EQ(ToHex(client.Transact(kReadBaud)), ToHex(WithCrc({0x01, 0x03, 0x02, 0x4B, 0x00})));

  EXPECT_EQ(ToHex(client.Transact({0x01, 0x06, 0x00, 0x01, 0x25, 0x80})),
            ToHex(WithCrc({0x01, 0x06, 0x00, 0x01, 0x25, 0x80})))
      << "function 6 writes too";
  EXPECT_TRUE(client.Transact(kReadBaud, 250ms).empty()) << "now 19200 is the wrong rate";
  client.SetLine(B9600);
  EXPECT_EQ(ToHex(client.Transact(kReadBaud)), ToHex(WithCrc({0x01, 0x03, 0x02, 0x25, 0x80})));
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_NE(sim.Log().find("ignored (not heard): line at 9600 baud, device at 19200"), std::string::npos) << sim.Log();
}

TEST_F(SimWrites, values_out_of_range_are_answered_with_exception_3_and_change_nothing) {
  struct Case {
    const char* what;
    Bytes request;
  };
  const Case cases[] = {
      {"slave id 0", WriteRegister(1, 0, 0)},
      {"slave id 248", WriteRegister(1, 0, 248)},
      {"baud 4800", WriteRegister(1, 1, 4800)},
      {"baud 38400", WriteRegister(1, 1, 38400)},
      {"a good id with a bad baud", {0x01, 0x10, 0x00, 0x00, 0x00, 0x02, 0x04, 0x00, 0x07, 0x12, 0xC0}},
  };
  Simulator sim(dir, {"--jumper"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ToHex(client.Transact(c.request)), ToHex(WithCrc({0x01, 0x90, 0x03})));
  }
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x06, 0x00, 0x00, 0x00, 0xF8})), ToHex(WithCrc({0x01, 0x86, 0x03})));
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x03, 0x00, 0x00, 0x00, 0x02})),
            ToHex(WithCrc({0x01, 0x03, 0x04, 0x00, 0x01, 0x25, 0x80})));
}

TEST_F(SimWrites, an_inconsistent_write_is_answered_with_exception_3_at_once) {
  Simulator sim(dir, {"--jumper"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  // Quantity 1 with a byte count of 4: libmodbus refuses it, and by default
  // would first sleep for its response time-out (0.5 s).
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x10, 0x00, 0x00, 0x00, 0x01, 0x04, 0x00, 0x05, 0x00, 0x06}, 200ms)),
            ToHex(WithCrc({0x01, 0x90, 0x03})));
  EXPECT_EQ(ToHex(client.Transact(kReadSlaveId)), ToHex(WithCrc({0x01, 0x03, 0x02, 0x00, 0x01})));
}

TEST_F(SimWrites, both_registers_can_be_written_at_once) {
  Simulator sim(dir, {"--jumper"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x10, 0x00, 0x00, 0x00, 0x02, 0x04, 0x00, 0xF7, 0x4B, 0x00})),
            ToHex(WithCrc({0x01, 0x10, 0x00, 0x00, 0x00, 0x02})));
  client.SetLine(B19200);
  EXPECT_EQ(ToHex(client.Transact({0xF7, 0x03, 0x00, 0x00, 0x00, 0x02})),
            ToHex(WithCrc({0xF7, 0x03, 0x04, 0x00, 0xF7, 0x4B, 0x00})));
}

TEST_F(SimWrites, a_broadcast_write_is_executed_without_a_reply) {
  Simulator sim(dir, {"--jumper"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  EXPECT_TRUE(client.Transact(WriteRegister(0, 0, 9), 250ms).empty());
  EXPECT_EQ(ToHex(client.Transact({0x09, 0x03, 0x00, 0x00, 0x00, 0x01})),
            ToHex(WithCrc({0x09, 0x03, 0x02, 0x00, 0x09})));
}

TEST_F(SimWrites, the_line_framing_the_master_sets_must_match_the_device) {
  Simulator sim(dir, {"--stop-bits", "2"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path(), B9600, 1);
  EXPECT_TRUE(client.Transact(kReadBaud, 250ms).empty()) << "one stop bit while two are required";
  // Parity cannot be checked this way: a Linux pseudo-terminal clears
  // PARENB and forces 8 data bits whatever the master sets.
  client.SetLine(B9600, 2);
  EXPECT_EQ(ToHex(client.Transact(kReadBaud)), ToHex(WithCrc({0x01, 0x03, 0x02, 0x25, 0x80})));
}

TEST_F(SimWrites, by_default_one_stop_bit_is_heard_as_a_real_uart_would) {
  Simulator sim(dir, {});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path(), B9600, 1);
  EXPECT_EQ(ToHex(client.Transact(kReadBaud)), ToHex(WithCrc({0x01, 0x03, 0x02, 0x25, 0x80})));
}

}  // namespace
}  // namespace dornvel::testing
