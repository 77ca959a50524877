#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/device_frames.h"
#include "harness/fakes.h"
#include "harness/meters_on_line.h"

namespace dornvel::testing {
namespace {

using namespace frames;

struct LineRig {
  explicit LineRig(const std::string& settings) {
    line.lineTime = true;
    line.SetSettings(settings);
    line.SetPortOpen(true);
  }
  // Sends `hex` and takes what arrives within 3 s.
  std::string Exchange(const std::string& hex) {
    line.SetOutput(FromHex(hex));
    clock.Advance(3s);
    return ToHex(line.Input());
  }

  FakeClock clock;
  FakeEventPump pump{clock};
  ScriptedSerialControl line{clock, pump, nullptr};
};

TEST(FakeLine, a_request_drains_and_its_reply_arrives_a_character_time_a_byte_after_the_turnaround) {
  const struct {
    const char* settings;
    Duration character;
  } cases[] = {{"9600,N,8,2", 1145833ns}, {"19200,N,8,1", 520833ns}, {"19200,E,8,1", 572916ns}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.settings);
    LineRig rig(c.settings);
    rig.line.Expect(kReadSlaveId, {{2ms, FromHex("01 03 02")}, {1ms, FromHex("00 01")}});
    const TimePoint sent = rig.clock.Now();
    rig.line.SetOutput(FromHex(kReadSlaveId));
    EXPECT_EQ(rig.line.OutBufferCount(), 8);
    rig.clock.Advance(c.character);
    EXPECT_EQ(rig.line.OutBufferCount(), 7);
    rig.line.WaitForOutputDrained(1s, WaitEvents::Hold);
    EXPECT_EQ(rig.clock.Now() - sent, 8 * c.character);
    EXPECT_EQ(rig.line.OutBufferCount(), 0);

    const TimePoint end = rig.clock.Now();
    std::vector<Duration> arrivals;
    for (int byte = 0; byte < 6; ++byte) {
      rig.line.WaitForInput(1s, WaitEvents::Hold);
      if (!rig.line.Input().empty()) arrivals.push_back(rig.clock.Now() - end);
    }
    const Duration k = c.character;
    EXPECT_EQ(arrivals, (std::vector<Duration>{2ms + k, 2ms + 2 * k, 2ms + 3 * k, 3ms + 4 * k, 3ms + 5 * k}));
  }
}

TEST(FakeLine, a_meter_answers_reads_addressed_to_it_at_its_rate_and_nothing_else) {
  const SimulatedMeter meter{.slave = 1, .inputRegisters = {{0, 0x0000}, {1, 0x4148}, {2, 7}}};
  SimulatedMeter dead = meter;
  dead.dead = true;
  const struct {
    const char* what;
    SimulatedMeter meter;
    std::string settings;
    std::string request;
    std::string reply;
  } cases[] = {
      {"its slave id", meter, "9600,N,8,2", kReadSlaveId, kSlaveId1},
      {"its rate", meter, "9600,N,8,2", kReadBoudrate, kBoudrate9600},
      {"two input registers", meter, "9600,N,8,2", kReadNolu, kNolu12_5},
      {"one input register", meter, "9600,N,8,2", kReadSwitch, kSwitch7},
      {"a register it lacks", {.slave = 1}, "9600,N,8,2", kReadNolu, "01 84 02 C2 C1"},
      {"another slave", {.slave = 2}, "9600,N,8,2", kReadSlaveId, ""},
      {"another rate", meter, "19200,N,8,2", kReadSlaveId, ""},
      {"a bad CRC", meter, "9600,N,8,2", "01 03 00 00 00 01 84 0B", ""},
      {"a dead meter", dead, "9600,N,8,2", kReadSlaveId, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LineRig rig(c.settings);
    MetersOnLine meters({c.meter});
    meters.Attach(rig.line);
    EXPECT_EQ(rig.Exchange(c.request), c.reply);
  }
}

// A second request, sent this long after the end of the reply to the first
// (before it, when negative): the meter takes it as a frame of its own only
// after the quiet it needs, and not at all while it is still busy.
TEST(FakeLine, a_meter_drops_a_request_that_follows_a_frame_too_closely) {
  const Duration k = LineSettings{9600, Parity::None, 8, StopBits::Two}.CharacterTime();
  const struct {
    Duration turnaround;
    Duration frameSilence;
    Duration after;
    bool heard;
  } cases[] = {
      {5ms, {}, k * 7 / 2, true}, {5ms, {}, 3 * k, false}, {5ms, {}, -k, false},      {5ms, 20ms, 20ms, true},
      {5ms, 20ms, 19ms, false},   {1s, {}, -500ms, false}, {1s, {}, k * 7 / 2, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.after / 1us) + " us after a reply that took " + std::to_string(c.turnaround / 1ms) +
                 " ms");
    LineRig rig("9600,N,8,2");
    MetersOnLine meters({{.slave = 1, .turnaround = c.turnaround, .frameSilence = c.frameSilence}});
    meters.Attach(rig.line);
    const TimePoint replyEnd = rig.clock.Now() + 15 * k + c.turnaround;
    rig.line.SetOutput(FromHex(kReadSlaveId));
    rig.clock.AdvanceTo(replyEnd + c.after);

    const std::string second = std::string(kSlaveId1) + (c.heard ? std::string(" ") + kSlaveId1 : "");
    EXPECT_EQ(rig.Exchange(kReadSlaveId), second);
  }
}

}  // namespace
}  // namespace dornvel::testing
