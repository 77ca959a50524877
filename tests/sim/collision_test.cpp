#include "sim/collision.h"

#include <gtest/gtest.h>

#include <set>

#include "sim/crc16.h"

namespace dornvel::sim {
namespace {

Bytes WithCrc(Bytes frame) {
  const std::uint16_t crc = Crc16Modbus(frame);
  frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<std::uint8_t>(crc >> 8));
  return frame;
}

bool IsValidFrame(const Bytes& frame) {
  return frame.size() >= 4 && Crc16Modbus(std::span(frame).first(frame.size() - 2)) ==
                                  (frame[frame.size() - 2] | frame[frame.size() - 1] << 8);
}

// The read of nolu at 12.5 and at 100 kilohms, and of the holding registers.
const Bytes kNolu125 = WithCrc({0x07, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48});
const Bytes kNolu100 = WithCrc({0x07, 0x04, 0x04, 0x00, 0x00, 0x42, 0xC8});
const Bytes kHolding = WithCrc({0x07, 0x03, 0x04, 0x00, 0x07, 0x25, 0x80});

TEST(SimCollision, one_driver_alone_is_received_unchanged) {
  const Bytes cases[] = {kNolu125, kHolding, {0x00}, {0xFF, 0x00, 0xFF}, {0x55, 0xAA, 0x01, 0x80}};
  std::mt19937_64 random(1);
  for (const Bytes& reply : cases) {
    const Bytes one[] = {reply};
    EXPECT_EQ(Collide(one, random), reply);
  }
}

TEST(SimCollision, colliding_replies_leave_bytes_but_never_a_valid_frame) {
  struct Case {
    const char* what;
    std::vector<Bytes> replies;
  };
  const Case cases[] = {
      {"identical replies", {kNolu125, kNolu125}},
      {"different values", {kNolu125, kNolu100}},
      {"different lengths", {kNolu125, WithCrc({0x07, 0x84, 0x04})}},
      {"three drivers", {kHolding, kHolding, kHolding}},
  };
  constexpr int kDraws = 1000;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::mt19937_64 random(7);
    std::set<Bytes> seen;
    int valid = 0;
    for (int draw = 0; draw < kDraws; ++draw) {
      const Bytes line = Collide(c.replies, random);
      EXPECT_FALSE(line.empty());
      valid += IsValidFrame(line);
      seen.insert(line);
    }
    EXPECT_EQ(valid, 0);
    EXPECT_GT(seen.size(), kDraws / 2u) << "each retry sees other garbage";
  }
}

TEST(SimCollision, the_same_seed_gives_the_same_garbage) {
  const Bytes replies[] = {kNolu125, kNolu100};
  std::mt19937_64 first(42);
  std::mt19937_64 second(42);
  for (int draw = 0; draw < 10; ++draw) EXPECT_EQ(Collide(replies, first), Collide(replies, second));
}

}  // namespace
}  // namespace dornvel::sim
