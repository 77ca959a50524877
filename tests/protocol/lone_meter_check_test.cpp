#include "protocol/lone_meter_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/fakes.h"
#include "harness/meters_on_line.h"

namespace dornvel::testing {
namespace {

// The meter being commissioned answers at 1 and 9600 baud; the check asks
// every id there once, and again, patiently, those heard out of turn.
TEST(LoneMeterCheck, hears_every_other_meter_at_the_rate_also_a_late_one_and_nothing_at_the_other_rate) {
  const SimulatedMeter commissioned{.slave = 1, .baudRate = 9600};
  const struct {
    const char* what;
    std::vector<SimulatedMeter> others;
    std::vector<int> ids;
    std::size_t requests;
  } cases[] = {
      {"alone", {}, {}, 247},
      {"another at the next id", {{.slave = 2, .baudRate = 9600}}, {2}, 247},
      {"another at the last id", {{.slave = 247, .baudRate = 9600}}, {247}, 247},
      {"two others", {{.slave = 9, .baudRate = 9600}, {.slave = 30, .baudRate = 9600}}, {9, 30}, 247},
      {"another answering 1 s late",
       {{.slave = 100, .baudRate = 9600, .turnaround = std::chrono::milliseconds(1000)}},
       {100},
       248},
      {"another at the meter's own id, which it garbles", {{.slave = 1, .baudRate = 9600}}, {1}, 249},
      {"another at the other rate", {{.slave = 5, .baudRate = 19200}}, {}, 247},
      {"one that hears but never answers", {{.slave = 5, .baudRate = 9600, .dead = true}}, {}, 247},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeClock clock;
    FakeEventPump pump{clock};
    ScriptedSerialControl port{clock, pump, nullptr};
    std::vector<SimulatedMeter> meters{commissioned};
    meters.insert(meters.end(), c.others.begin(), c.others.end());
    MetersOnLine onLine(meters);
    onLine.Attach(port);
    Line line(port);
    const auto hold = line.Take("test");

    const OtherMeters others = OtherMetersAt(*hold, {pump, clock}, 9600, 1, {});

    EXPECT_EQ(others.end, OtherMeters::End::Done);
    EXPECT_EQ(others.ids, c.ids);
    EXPECT_EQ(port.Sent().size(), c.requests);
  }
}

TEST(LoneMeterCheck, a_cancel_ends_it_before_the_next_probe) {
  FakeClock clock;
  FakeEventPump pump{clock};
  ScriptedSerialControl port{clock, pump, nullptr};
  MetersOnLine onLine({{.slave = 1, .baudRate = 9600}});
  onLine.Attach(port);
  Line line(port);
  const auto hold = line.Take("test");
  const OtherMeters others =
      OtherMetersAt(*hold, {pump, clock}, 19200, 1, [&port] { return port.Sent().size() >= 10; });
  EXPECT_EQ(others.end, OtherMeters::End::Cancelled);
  EXPECT_EQ(port.Sent().size(), 10u);
  EXPECT_EQ(port.Settings(), "19200,N,8,2") << "asked at the rate given";
}

}  // namespace
}  // namespace dornvel::testing
