#include "platform/traffic_trace.h"

#include <gtest/gtest.h>

#include "harness/fakes.h"

namespace dornvel {
namespace {

using namespace std::chrono_literals;
using testing::FromHex;

TEST(TrafficTrace, a_line_holds_the_time_the_tag_the_direction_and_the_bytes) {
  struct Case {
    Duration since;
    TraceDirection direction;
    const char* tag;
    const char* hex;
    const char* line;
  };
  const Case cases[] = {
      {12345ms, TraceDirection::Request, "nolu", "01 04 00 00 00 02 71 CB", "12.345 nolu -> 01 04 00 00 00 02 71 CB"},
      {7ms, TraceDirection::Reply, "switch", "01 04 02 FF FF B8 80", "0.007 switch <- 01 04 02 FF FF B8 80"},
      {3600s + 999999us, TraceDirection::Reply, "slaveid", "", "3600.999 slaveid <-"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TraceLine(c.since, c.direction, c.tag, FromHex(c.hex)), c.line);
  }
}

}  // namespace
}  // namespace dornvel
