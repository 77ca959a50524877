#include "tags/meter_session.h"

#include <gtest/gtest.h>

#include "harness/device_frames.h"
#include "harness/fakes.h"
#include "protocol/line.h"

namespace dornvel::testing {
namespace {

using namespace frames;

// The session counts and collects what its tags report, passes it on to the
// window that shows it, and names the meter in its reading.
TEST(MeterSession, a_poll_reports_to_the_session_and_through_it_to_the_window) {
  FakeClock clock;
  FakeEventPump pump{clock};
  FakeHostWindow window;
  ScriptedSerialControl port{clock, pump, &window};
  port.SetSettings("9600,N,8,2");
  Line line{port};
  MeterSession session({pump, clock}, line, 1, &window);
  port.ExpectReply(kReadNolu, kNolu12_5);
  port.Expect(kReadSwitch);
  port.ExpectReply(kReadSlaveId, kSlaveId1);
  port.ExpectReply(kReadBoudrate, kBoudrate9600);

  std::vector<std::size_t> shown;
  const PollOutcome& poll = session.Poll([] { return false; }, [&](std::size_t i) { shown.push_back(i); });

  EXPECT_EQ(shown, (std::vector<std::size_t>{0, 1, 2, 3}));
  EXPECT_TRUE(poll.deviceAnswered);
  EXPECT_EQ(session.ErrorCount(), 1u);
  EXPECT_EQ(window.panel3, "1");
  const Reading reading = session.LastReading({});
  ASSERT_TRUE(reading.meter);
  EXPECT_EQ(reading.meter->slave, 1);
  EXPECT_EQ(reading.meter->baudRate, 9600);
  EXPECT_EQ(reading.resistanceKohm, 12.5f);
  EXPECT_FALSE(reading.switchValue) << "its read timed out";
  EXPECT_EQ(reading.deviceBaudRate, 9600);
  EXPECT_EQ(reading.errorCount, "1");
  EXPECT_EQ(reading.message, "MBdata/GetData: Timout при получении пакета switch");
  EXPECT_EQ(window.panel4, reading.message);

  // Cut short before the first tag: nothing refreshed, nothing answered.
  const PollOutcome& cut = session.Poll([] { return true; }, [](std::size_t) {});
  EXPECT_FALSE(cut.deviceAnswered);
  EXPECT_FALSE(session.LastReading({}).resistanceKohm);
}

}  // namespace
}  // namespace dornvel::testing
