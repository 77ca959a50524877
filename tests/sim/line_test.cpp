#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <set>

#include "harness/rtu_client.h"
#include "harness/simulator.h"

namespace dornvel::testing {
namespace {

using std::chrono::steady_clock;

Bytes ReadHolding(std::uint8_t slave) { return {slave, 0x03, 0x00, 0x00, 0x00, 0x02}; }
Bytes ReadNolu(std::uint8_t slave) { return {slave, 0x04, 0x00, 0x00, 0x00, 0x02}; }

// Holding registers 0-1: the meter's slave id and rate.
Bytes HoldingReply(std::uint8_t slave, std::uint16_t baud) {
  return WithCrc(
      {slave, 0x03, 0x04, 0x00, slave, static_cast<std::uint8_t>(baud >> 8), static_cast<std::uint8_t>(baud)});
}

class SimLine : public ::testing::Test {
 protected:
  TempDir dir;
};

TEST_F(SimLine, each_meter_answers_at_its_own_id_and_rate_only) {
  Simulator sim(dir, {"--meter", "3", "--meter", "41:12.5", "--meter", "200@19200"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  struct Case {
    const char* what;
    speed_t speed;
    Bytes request;
    Bytes reply;  // empty: no meter answers
  };
  const Case cases[] = {
      {"3 at 9600", B9600, ReadHolding(3), HoldingReply(3, 9600)},
      {"41 at 9600", B9600, ReadHolding(41), HoldingReply(41, 9600)},
      {"41's own resistance", B9600, ReadNolu(41), WithCrc({41, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48})},
      {"200 is not heard at 9600", B9600, ReadHolding(200), {}},
      {"no meter 5", B9600, ReadHolding(5), {}},
      {"200 at 19200", B19200, ReadHolding(200), HoldingReply(200, 19200)},
      {"3 is not heard at 19200", B19200, ReadHolding(3), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    client.SetLine(c.speed);
    EXPECT_EQ(ToHex(client.Transact(c.request, Milliseconds(c.reply.empty() ? 150 : 1000))), ToHex(c.reply));
  }
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(sim.Counters()["answered"], 4);
}

TEST_F(SimLine, meters_sharing_an_id_garble_each_other_on_every_retry) {
  // Identical registers make identical replies: only the drivers' skew
  // garbles them, the hardest case.
  Simulator sim(dir, {"--seed", "5", "--meter", "7:12.5", "--meter", "7:12.5", "--meter", "3"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  std::set<Bytes> seen;
  constexpr int kRetries = 6;
  for (int retry = 0; retry < kRetries; ++retry) {
    SCOPED_TRACE(retry);
    const Bytes reply = client.Transact(ReadNolu(7));
    EXPECT_FALSE(reply.empty()) << "both drivers put bytes on the line";
    EXPECT_FALSE(CrcIsValid(reply)) << ToHex(reply);
    seen.insert(reply);
  }
  EXPECT_GT(seen.size(), 1u) << "a retry sees other garbage";
  EXPECT_EQ(ToHex(client.Transact(ReadHolding(3))), ToHex(HoldingReply(3, 9600))) << "a meter alone is heard";
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(sim.Counters()["collisions"], kRetries);
}

TEST_F(SimLine, echo_sends_the_request_back_before_any_reply) {
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    Bytes request;
    Bytes reply;
  };
  const Case cases[] = {
      {"a line of meters", {"--echo", "--meter", "3"}, WithCrc(ReadHolding(3)), HoldingReply(3, 9600)},
      {"nobody answers", {"--echo", "--meter", "3"}, WithCrc(ReadHolding(9)), {}},
      {"the single meter", {"--echo"}, WithCrc(ReadHolding(1)), HoldingReply(1, 9600)},
      {"a bad frame", {"--echo"}, Bytes{0x01, 0x03, 0x00}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Simulator sim(dir, c.arguments);
    ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
    RtuClient client(sim.Path());
    client.Send(c.request);
    Bytes expected = c.request;
    expected.insert(expected.end(), c.reply.begin(), c.reply.end());
    EXPECT_EQ(ToHex(client.Receive()), ToHex(expected));
    EXPECT_EQ(sim.Stop(), 0);
  }
}

TEST_F(SimLine, a_write_to_one_meter_leaves_the_others_unchanged) {
  Simulator sim(dir, {"--jumper", "--meter", "3", "--meter", "7"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  const Bytes newId = {0x03, 0x06, 0x00, 0x00, 0x00, 0x05};
  EXPECT_EQ(ToHex(client.Transact(newId)), ToHex(WithCrc(newId)));
  const Bytes newRate = {0x07, 0x06, 0x00, 0x01, 0x4B, 0x00};
  EXPECT_EQ(ToHex(client.Transact(newRate)), ToHex(WithCrc(newRate)));
  struct Case {
    const char* what;
    speed_t speed;
    std::uint8_t slave;
    Bytes reply;
  };
  const Case cases[] = {
      {"3 is now 5", B9600, 5, HoldingReply(5, 9600)},
      {"3 is gone", B9600, 3, {}},
      {"7 left 9600", B9600, 7, {}},
      {"7 at 19200", B19200, 7, HoldingReply(7, 19200)},
      {"5 stays at 9600", B19200, 5, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    client.SetLine(c.speed);
    EXPECT_EQ(ToHex(client.Transact(ReadHolding(c.slave), Milliseconds(c.reply.empty() ? 150 : 1000))), ToHex(c.reply));
  }
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_NE(sim.Log().find("meter 1: slave id now 5"), std::string::npos) << sim.Log();
}

// The times the first and the last byte of a reply of `length` bytes arrive.
std::pair<steady_clock::time_point, steady_clock::time_point> ArrivalOf(int fd, std::size_t length) {
  std::pair<steady_clock::time_point, steady_clock::time_point> times{};
  std::size_t got = 0;
  while (got < length) {
    pollfd line{fd, POLLIN, 0};
    if (::poll(&line, 1, 1000) <= 0) break;
    std::uint8_t chunk[64];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n <= 0) break;
    if (got == 0) times.first = steady_clock::now();
    got += static_cast<std::size_t>(n);
    times.second = steady_clock::now();
  }
  return times;
}

TEST_F(SimLine, a_reply_follows_the_turnaround_and_takes_its_line_time) {
  struct Case {
    speed_t speed;
    const char* meter;
    double characterMs;  // 11 bits at the rate
  };
  const Case cases[] = {{B9600, "3", 11.0 / 9.6}, {B19200, "3@19200", 11.0 / 19.2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.meter);
    Simulator sim(dir, {"--turnaround", "30", "--meter", c.meter});
    ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
    RtuClient client(sim.Path(), c.speed);
    const Bytes request = WithCrc(ReadHolding(3));
    const auto sent = steady_clock::now();
    client.Send(request);
    const auto [first, last] = ArrivalOf(client.Fd(), 9);
    const auto ms = [](steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    // The request's 8 bytes, the turnaround, then the reply's first byte,
    // and its last one the line time of 8 more bytes later.
    EXPECT_GE(ms(first - sent), 30 + 9 * c.characterMs);
    EXPECT_GE(ms(last - sent), 30 + 17 * c.characterMs) << "the reply's bytes take their line time";
    EXPECT_EQ(sim.Stop(), 0);
  }
}

}  // namespace
}  // namespace dornvel::testing
