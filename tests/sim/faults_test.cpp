#include <gtest/gtest.h>

#include "harness/rtu_client.h"
#include "harness/simulator.h"

namespace dornvel::testing {
namespace {

const Bytes kReadNolu = {0x01, 0x04, 0x00, 0x00, 0x00, 0x02};
const Bytes kNormalReply = {0x01, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48, 0xCB, 0xE2};

class SimFaults : public ::testing::Test {
 protected:
  // The simulator with a fixed 12.5 kilohms and the given fault options.
  Simulator Start(std::vector<std::string> faults) {
    faults.insert(faults.begin(), {"--resistance", "12.5", "--seed", "1"});
    return Simulator(dir, std::move(faults));
  }

  TempDir dir;
};

TEST_F(SimFaults, silence_leaves_the_request_unanswered_and_is_counted) {
  Simulator sim = Start({"--silence", "at:1"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  EXPECT_TRUE(client.Transact(kReadNolu, 300ms).empty());
  EXPECT_EQ(client.Transact(kReadNolu), kNormalReply);
  ASSERT_EQ(sim.Stop(), 0);
  auto counters = sim.Counters();
  EXPECT_EQ(counters["silence"], 1);
  EXPECT_EQ(counters["requests"], 2);
  EXPECT_EQ(counters["answered"], 1);
}

TEST_F(SimFaults, a_delayed_reply_comes_after_the_delay_time) {
  Simulator sim = Start({"--delay", "at:1", "--delay-time", "0.3"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  EXPECT_TRUE(client.Transact(kReadNolu, 200ms).empty()) << "nothing within 0.2 s";
  EXPECT_EQ(client.Receive(1000ms), kNormalReply) << "then the whole reply";
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(sim.Counters()["delay"], 1);
}

TEST_F(SimFaults, a_bad_crc_changes_only_the_last_byte) {
  Simulator sim = Start({"--bad-crc", "at:1"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  Bytes reply = client.Transact(kReadNolu);
  ASSERT_EQ(reply.size(), kNormalReply.size()) << ToHex(reply);
  EXPECT_FALSE(CrcIsValid(reply));
  EXPECT_TRUE(std::equal(reply.begin(), reply.end() - 1, kNormalReply.begin()));
  EXPECT_EQ(client.Transact(kReadNolu), kNormalReply);
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(sim.Counters()["bad-crc"], 1);
}

TEST_F(SimFaults, a_foreign_reply_carries_another_address_with_a_valid_crc) {
  Simulator sim = Start({"--foreign", "at:1,2", "--foreign-id", "9"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  EXPECT_EQ(ToHex(client.Transact(kReadNolu)), ToHex(WithCrc({0x09, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48})));
  EXPECT_EQ(ToHex(client.Transact(kReadNolu)), ToHex(WithCrc({0x09, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48})));
  EXPECT_EQ(client.Transact(kReadNolu), kNormalReply);
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(sim.Counters()["foreign"], 2);
}

TEST_F(SimFaults, by_default_the_foreign_address_is_the_next_slave_id) {
  Simulator sim = Start({"--foreign", "every:1"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  EXPECT_EQ(ToHex(client.Transact(kReadNolu)), ToHex(WithCrc({0x02, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48})));
}

TEST_F(SimFaults, an_exception_reply_carries_the_chosen_code) {
  struct Case {
    std::vector<std::string> options;
    std::uint8_t code;
  };
  const Case cases[] = {
      {{"--exception", "every:1"}, 4},
      {{"--exception", "every:1", "--exception-code", "6"}, 6},
      {{"--exception", "every:1", "--exception-code", "200"}, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    TempDir own;
    std::vector<std::string> options = {"--resistance", "12.5"};
    options.insert(options.end(), c.options.begin(), c.options.end());
    Simulator sim(own, options);
    ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
    RtuClient client(sim.Path());
    EXPECT_EQ(ToHex(client.Transact(kReadNolu)), ToHex(WithCrc({0x01, 0x84, c.code})));
  }
}

TEST_F(SimFaults, a_faulted_write_is_not_executed) {
  Simulator sim = Start({"--jumper", "--exception", "at:1", "--silence", "at:2"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  const Bytes writeId5 = {0x01, 0x10, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x05};
  EXPECT_EQ(ToHex(client.Transact(writeId5)), ToHex(WithCrc({0x01, 0x90, 0x04})));
  EXPECT_TRUE(client.Transact(writeId5, 250ms).empty());
  EXPECT_EQ(ToHex(client.Transact({0x01, 0x03, 0x00, 0x00, 0x00, 0x01})),
            ToHex(WithCrc({0x01, 0x03, 0x02, 0x00, 0x01})));
}

TEST_F(SimFaults, a_split_reply_with_a_long_gap_arrives_in_two_parts) {
  Simulator sim = Start({"--split", "at:1", "--split-gap", "0.25"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  Bytes first = client.Transact(kReadNolu, 1000ms, 100ms);
  Bytes second = client.Receive(1000ms, 100ms);
  EXPECT_EQ(ToHex(first), "01 04 04 00");
  EXPECT_EQ(ToHex(second), "00 41 48 CB E2");
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(sim.Counters()["split"], 1);
}

TEST_F(SimFaults, a_split_reply_with_a_short_gap_is_collected_whole) {
  Simulator sim = Start({"--split", "at:1", "--split-gap", "0.02", "--split-at", "2"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  EXPECT_EQ(client.Transact(kReadNolu, 1000ms, 100ms), kNormalReply);
}

TEST_F(SimFaults, a_short_reply_is_the_start_of_the_reply) {
  Simulator sim = Start({"--short", "at:1"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  EXPECT_EQ(ToHex(client.Transact(kReadNolu)), "01 04 04 00");

  TempDir own;
  Simulator longer(own, {"--resistance", "12.5", "--short", "every:1", "--short-length", "7"});
  ASSERT_FALSE(longer.Path().empty()) << longer.Errors();
  RtuClient other(longer.Path());
  EXPECT_EQ(ToHex(other.Transact(kReadNolu)), "01 04 04 00 00 41 48");
}

TEST_F(SimFaults, babbling_sends_bytes_at_the_line_rate_for_the_babble_time) {
  Simulator sim = Start({"--babble", "at:1", "--babble-time", "0.2"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  Bytes noise = client.Transact(kReadNolu, 1000ms, 60ms);
  // 0.2 s at 9600 baud, 11 bits a byte: about 170 bytes.
  EXPECT_GT(noise.size(), 40u);
  EXPECT_LT(noise.size(), 260u);
  EXPECT_EQ(client.Transact(kReadNolu), kNormalReply) << "the device answers again afterwards";
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(sim.Counters()["babble"], 1);
}

TEST_F(SimFaults, faults_combine_and_are_counted_by_kind) {
  Simulator sim = Start(
      {"--bad-crc", "at:1", "--delay", "at:1", "--delay-time", "0.1", "--foreign", "at:2", "--exception", "at:2"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  Bytes lateBad = client.Transact(kReadNolu, 1000ms);
  EXPECT_EQ(lateBad.size(), kNormalReply.size());
  EXPECT_FALSE(CrcIsValid(lateBad));
  EXPECT_EQ(ToHex(client.Transact(kReadNolu)), ToHex(WithCrc({0x02, 0x84, 0x04})));
  ASSERT_EQ(sim.Stop(), 0);
  auto counters = sim.Counters();
  EXPECT_EQ(counters["bad-crc"], 1);
  EXPECT_EQ(counters["delay"], 1);
  EXPECT_EQ(counters["foreign"], 1);
  EXPECT_EQ(counters["exception"], 1);
}

TEST_F(SimFaults, silence_suppresses_the_other_faults_of_its_request) {
  Simulator sim = Start({"--silence", "at:1", "--bad-crc", "at:1"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  EXPECT_TRUE(client.Transact(kReadNolu, 250ms).empty());
  ASSERT_EQ(sim.Stop(), 0);
  auto counters = sim.Counters();
  EXPECT_EQ(counters["silence"], 1);
  EXPECT_EQ(counters["bad-crc"], 0);
}

TEST_F(SimFaults, a_period_fires_on_every_nth_request) {
  Simulator sim = Start({"--exception", "every:3"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  std::string pattern;
  for (int i = 0; i < 6; ++i) pattern += client.Transact(kReadNolu) == kNormalReply ? '.' : 'E';
  EXPECT_EQ(pattern, "..E..E");
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(sim.Counters()["exception"], 2);
}

TEST_F(SimFaults, a_probability_with_the_same_seed_gives_the_same_faults) {
  auto run = [](const TempDir& where, long& counted) {
    Simulator sim(where, {"--resistance", "12.5", "--bad-crc", "0.5", "--seed", "42"});
    if (sim.Path().empty()) return std::string("no path");
    RtuClient client(sim.Path());
    std::string pattern;
    for (int i = 0; i < 10; ++i) pattern += CrcIsValid(client.Transact(kReadNolu)) ? '.' : 'X';
    sim.Stop();
    counted = sim.Counters()["bad-crc"];
    return pattern;
  };
  TempDir other;
  long firstCount = -1;
  long secondCount = -1;
  std::string first = run(dir, firstCount);
  std::string second = run(other, secondCount);
  EXPECT_EQ(first, second);
  EXPECT_EQ(firstCount, static_cast<long>(std::count(first.begin(), first.end(), 'X')));
  EXPECT_EQ(secondCount, firstCount);
  EXPECT_NE(first.find('X'), std::string::npos) << first;
  EXPECT_NE(first.find('.'), std::string::npos) << first;
}

TEST_F(SimFaults, the_traffic_log_annotates_each_fault) {
  Simulator sim = Start({"--bad-crc", "at:1", "--silence", "at:2"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  client.Transact(kReadNolu);
  client.Transact(kReadNolu, 250ms);
  ASSERT_EQ(sim.Stop(), 0);
  std::string log = sim.Log();
  EXPECT_NE(log.find("TX 01 04 04 00 00 41 48 CB 1D  | request #1; fault bad-crc"), std::string::npos) << log;
  EXPECT_NE(log.find("EV request #2: fault silence, no reply"), std::string::npos) << log;
  EXPECT_NE(log.find("faults: hangup=0 silence=1 babble=0 exception=0 foreign=0 bad-crc=1"), std::string::npos) << log;
}

}  // namespace
}  // namespace dornvel::testing
