#include "harness/tag_fixture.h"

namespace dornvel::testing {
namespace {

constexpr auto kReadSlaveid = "01 03 00 00 00 01 84 0A";
constexpr auto kSlaveidIs2 = "01 03 02 00 02 39 85";
constexpr auto kWrite6 = "01 10 00 00 00 01 02 00 06 26 52";
constexpr auto kWrite6Echo = "01 10 00 00 00 01 01 C9";
constexpr auto kWriteException2 = "01 90 02 CD C1";

using InitTest = TagTest;

TEST_F(InitTest, accepts_addresses_up_to_9998_and_any_slave_byte) {
  EXPECT_EQ(RaisedError([&] { Define(HoldingRegisters, 9998, IntegerType, 250); }), 0);
  EXPECT_EQ(tag.RegAddress, 9998);
  EXPECT_EQ(RaisedError([&] { Define(HoldingRegisters, 0, IntegerType, 0); }), 0);
  EXPECT_EQ(tag.Slave, 0);
  EXPECT_TRUE(tag.ReadReq);
  EXPECT_FALSE(tag.WriteReq());
}

TEST_F(InitTest, refuses_addresses_outside_0_to_9998_keeping_the_former_address) {
  Define(HoldingRegisters, 5, IntegerType);
  for (std::int32_t address : {9999, -1}) {
    EXPECT_EQ(RaisedError([&] { Define(HoldingRegisters, address, IntegerType, 7); }), 2) << address;
    EXPECT_EQ(tag.RegAddress, 5);
    EXPECT_EQ(tag.Slave, 7);
  }
}

TEST_F(InitTest, refuses_register_class_2_after_storing_slave_and_address) {
  Define(HoldingRegisters, 5, IntegerType);
  EXPECT_EQ(RaisedError([&] { tag.Init(9, 2, 6, FloatType, &line, "other", nullptr); }), 3);
  EXPECT_EQ(tag.Slave, 9);
  EXPECT_EQ(tag.RegAddress, 6);
  EXPECT_EQ(tag.RegType, HoldingRegisters);
  EXPECT_EQ(tag.DataType, IntegerType);
  EXPECT_EQ(tag.TagName, "tag");
}

TEST_F(TagTest, requests_carry_the_slave_address_given_to_init) {
  Define(HoldingRegisters, 0, IntegerType, 250);
  port.Expect("FA 03 00 00 00 01 91 81");
  tag.Refresh();
}

TEST_F(TagTest, a_new_holding_register_tag_reads_once_then_stays_quiet) {
  Define(HoldingRegisters, 0, IntegerType);
  port.ExpectReply(kReadSlaveid, kSlaveidIs2);
  tag.Refresh();
  tag.Refresh();
  EXPECT_EQ(port.Sent().size(), 1u);
  EXPECT_FALSE(tag.ReadReq);
  EXPECT_EQ(tag.Data(), Value(2.0));
}

TEST_F(TagTest, an_input_register_tag_is_read_on_every_refresh_and_ignores_assignments) {
  Define(InputRegisters, 2, IntegerType);
  tag.SetData(Value(7.0));
  EXPECT_TRUE(tag.Data().IsEmpty());
  EXPECT_FALSE(tag.WriteReq());
  for (int i = 0; i < 3; ++i) port.ExpectReply("01 04 00 02 00 01 90 0A", "01 04 02 00 03 F9 31");
  for (int i = 0; i < 3; ++i) tag.Refresh();
  EXPECT_EQ(tag.Data(), Value(3.0));
}

TEST_F(TagTest, assigning_a_value_equal_to_the_held_one_sends_nothing) {
  Define(HoldingRegisters, 0, IntegerType);
  tag.SetData(Value(0.0));  // the empty value counts as 0
  EXPECT_FALSE(tag.WriteReq());
  port.ExpectReply(kReadSlaveid, kSlaveidIs2);
  tag.Refresh();
  tag.SetData(Value(2.0));  // a 16-bit 2 read, 2.0 assigned
  EXPECT_FALSE(tag.WriteReq());
  tag.Refresh();
  EXPECT_EQ(port.Sent().size(), 1u);
}

TEST_F(TagTest, a_new_value_is_written_first_and_not_read_back) {
  Define(HoldingRegisters, 0, IntegerType);
  port.ExpectReply(kReadSlaveid, kSlaveidIs2);
  tag.Refresh();
  tag.SetData(Value(6.0));
  EXPECT_TRUE(tag.WriteReq());
  port.ExpectReply(kWrite6, kWrite6Echo);
  tag.Refresh();
  EXPECT_FALSE(tag.WriteReq());
  EXPECT_EQ(tag.Data(), Value(6.0));
  EXPECT_EQ(port.Sent().size(), 2u);
}

TEST_F(TagTest, a_failed_write_stays_pending_and_goes_before_the_read) {
  Define(HoldingRegisters, 0, IntegerType);
  tag.SetData(Value(6.0));
  port.Expect(kWrite6);  // no answer
  port.ExpectReply(kReadSlaveid, kSlaveidIs2);
  tag.Refresh();
  EXPECT_TRUE(tag.WriteReq());
  EXPECT_EQ(tag.Data(), Value(6.0)) << "a read reply must not undo the pending value";
  port.ExpectReply(kWrite6, kWrite6Echo);
  tag.Refresh();
  EXPECT_FALSE(tag.WriteReq());
}

TEST_F(TagTest, a_refused_write_is_followed_by_a_read_in_the_same_refresh) {
  Define(HoldingRegisters, 0, IntegerType);
  port.ExpectReply(kReadSlaveid, kSlaveidIs2);
  tag.Refresh();
  tag.SetData(Value(6.0));
  port.ExpectReply(kWrite6, kWriteException2);
  port.ExpectReply(kReadSlaveid, kSlaveidIs2);
  tag.Refresh();
  EXPECT_EQ(tag.LastError, 0);
  EXPECT_EQ(tag.Data(), Value(2.0)) << "the device's own value comes back";
  EXPECT_FALSE(tag.WriteReq()) << "a decoded value is not written back";
  tag.Refresh();
  EXPECT_EQ(port.Sent().size(), 3u);
}

TEST_F(TagTest, error_reports_the_last_error_as_a_number) {
  Define(HoldingRegisters, 0, IntegerType);
  port.ExpectReply(kReadSlaveid, "01 03 02 00 02 39 86");
  tag.Refresh();
  EXPECT_EQ(tag.Error(), 10);
  EXPECT_TRUE(tag.ReadReq);
}

TEST_F(TagTest, a_value_that_cannot_be_encoded_raises_from_refresh_and_blocks_the_read) {
  Define(HoldingRegisters, 0, IntegerType);
  tag.SetData(Value(70000.0));
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(RaisedError([&] { tag.Refresh(); }), 6);
    EXPECT_TRUE(tag.WriteReq());
    EXPECT_TRUE(tag.ReadReq);
  }
  EXPECT_TRUE(port.Sent().empty());
}

TEST_F(TagTest, a_value_assigned_while_its_write_is_in_flight_is_written_next) {
  Define(HoldingRegisters, 0, IntegerType);
  tag.ReadReq = false;
  tag.SetData(Value(6.0));
  port.Expect(kWrite6, {{5ms, FromHex(kWrite6Echo)}});
  pump.onEvents = [&] {
    if (port.Sent().size() == 1) tag.SetData(Value(5.0));
  };
  tag.Refresh();
  pump.onEvents = nullptr;
  EXPECT_TRUE(tag.WriteReq());
  EXPECT_EQ(tag.Data(), Value(5.0));
  port.ExpectReply("01 10 00 00 00 01 02 00 05 66 53", kWrite6Echo);
  tag.Refresh();
  EXPECT_FALSE(tag.WriteReq());
}

TEST_F(TagTest, a_read_reply_does_not_overwrite_a_value_assigned_while_it_was_in_flight) {
  Define(HoldingRegisters, 0, IntegerType);
  port.ExpectReply(kReadSlaveid, kSlaveidIs2);
  pump.onEvents = [&] {
    if (port.Sent().size() == 1) tag.SetData(Value(9.0));
  };
  tag.Refresh();
  EXPECT_EQ(tag.Data(), Value(9.0));
  EXPECT_TRUE(tag.WriteReq());
  EXPECT_FALSE(tag.ReadReq);
}

TEST_F(TagTest, a_refresh_nested_in_its_own_exchange_does_nothing) {
  Define(InputRegisters, 2, IntegerType);
  port.ExpectReply("01 04 00 02 00 01 90 0A", "01 04 02 00 03 F9 31");
  pump.onEvents = [&] { tag.Refresh(); };
  tag.Refresh();
  EXPECT_EQ(port.Sent().size(), 1u);
}

}  // namespace
}  // namespace dornvel::testing
