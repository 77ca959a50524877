#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "harness/fakes.h"
#include "harness/meters_on_line.h"
#include "harness/test_crc.h"
#include "protocol/line.h"
#include "protocol/meter_search.h"

namespace dornvel {

void PrintTo(const MeterAddress& meter, std::ostream* out) { *out << meter.slave << " at " << meter.baudRate; }

namespace testing {
namespace {

// A search on a line that keeps line time, cancelled once more than `probes`
// probes have been announced; the meter it found, if any.
std::optional<MeterAddress> TimedSearch(ScriptedSerialControl& port, FakeClock& clock, FakeEventPump& pump,
                                        MeterAddress shown, int probes) {
  port.lineTime = true;
  port.SetSettings("9600,N,8,2");
  port.SetPortOpen(true);
  Line line(port);
  int announced = 0;
  SearchHooks hooks;
  hooks.onProbe = [&announced](const SearchProgress&) { ++announced; };
  hooks.cancelled = [&] { return announced > probes; };
  return SearchForMeter(line, ProtocolServices{pump, clock}, shown, hooks).meter;
}

std::optional<MeterAddress> SearchAmong(std::vector<SimulatedMeter> meters, MeterAddress shown, int probes) {
  FakeClock clock;
  FakeEventPump pump{clock};
  ScriptedSerialControl line{clock, pump, nullptr};
  MetersOnLine onLine(std::move(meters));
  onLine.Attach(line);
  return TimedSearch(line, clock, pump, shown, probes);
}

std::string Describe(const SimulatedMeter& meter) {
  return std::to_string(meter.slave) + " at " + std::to_string(meter.baudRate) + ", " +
         std::to_string(meter.turnaround / 1ms) + " ms late" + (meter.dead ? ", dead" : "");
}

// Modbus lets a sender pause up to 1.5 characters between the characters of a
// frame, and a USB adapter holds bytes back for up to 16 ms: the quick probe
// waits for all of that, and no longer.
TEST(SearchTiming, the_quick_probe_waits_for_a_reply_slowed_by_pauses_and_the_adapter_and_no_longer) {
  const struct {
    int rate;
    int pauseHalfCharacters;  // between the characters after the second
    Duration hold;            // before the second character
    bool found;
  } cases[] = {
      {9600, 0, 16ms, true}, {19200, 0, 16ms, true}, {9600, 2, 16ms, true},   {19200, 3, 16ms, true},
      {9600, 3, 0ms, true},  {9600, 4, 16ms, false}, {19200, 4, 16ms, false},
  };
  const Bytes reply = WithCrc({5, 0x03, 0x02, 0x00, 5});
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rate) + " baud, pauses of " + std::to_string(c.pauseHalfCharacters) +
                 " half characters, held " + std::to_string(c.hold / 1ms) + " ms");
    FakeClock clock;
    FakeEventPump pump{clock};
    ScriptedSerialControl line{clock, pump, nullptr};
    const Duration pause =
        LineSettings{c.rate, Parity::None, 8, StopBits::Two}.CharacterTime() * c.pauseHalfCharacters / 2;
    std::vector<ScriptedSerialControl::Chunk> pieces{{5ms, {reply[0]}}, {c.hold, {reply[1]}}};
    for (std::size_t i = 2; i < reply.size(); ++i) pieces.push_back({pause, {reply[i]}});
    line.ExpectAnyRequest(pieces);

    const auto found = TimedSearch(line, clock, pump, {5, c.rate}, 1);

    EXPECT_EQ(found.has_value(), c.found);
  }
}

// A frame of a reply's length that names no slave (its first byte garbled)
// answers the probe before the meter's: the meter hears its own probe only
// if the line was quiet for 3.5 characters after that frame.
TEST(SearchTiming, after_a_frame_that_is_not_the_meters_the_line_rests_3_5_characters_before_the_next_probe) {
  const struct {
    int rate;
    std::uint8_t named;
  } cases[] = {{9600, 0}, {19200, 0}, {9600, 248}, {19200, 255}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rate) + " baud, a frame from " + std::to_string(c.named));
    FakeClock clock;
    FakeEventPump pump{clock};
    ScriptedSerialControl line{clock, pump, nullptr};
    MetersOnLine meter({{.slave = 38, .baudRate = c.rate}});
    meter.Attach(line);
    line.ExpectAnyRequest({{5ms, WithCrc({c.named, 0x03, 0x02, 0x00, c.named})}});

    EXPECT_EQ(TimedSearch(line, clock, pump, {37, c.rate}, 2), (MeterAddress{38, c.rate}));
  }
}

// A slow meter is deaf while it works and answers; the probes sent meanwhile
// and a request that follows its reply before it has seen the line quiet run
// together into one frame it drops. Here it needs 20 or 50 ms of quiet, as
// the simulator does on a pseudo-terminal.
TEST(SearchTiming, a_late_meter_hears_its_patient_probe_after_the_line_has_rested) {
  const SimulatedMeter cases[] = {
      {.slave = 5, .baudRate = 9600, .turnaround = 150ms, .frameSilence = 20ms},
      {.slave = 5, .baudRate = 9600, .turnaround = 1s, .frameSilence = 50ms},
      {.slave = 9, .baudRate = 19200, .turnaround = 150ms, .frameSilence = 50ms},
      {.slave = 9, .baudRate = 19200, .turnaround = 1s, .frameSilence = 20ms},
  };
  for (const SimulatedMeter& meter : cases) {
    SCOPED_TRACE(Describe(meter));
    EXPECT_EQ(SearchAmong({meter}, {meter.slave, meter.baudRate}, 40), (MeterAddress{meter.slave, meter.baudRate}));
  }
}

// Only a late reply names the meter, in its first byte: every slave id from 1
// to 247 counts as a sign of life.
TEST(SearchTiming, a_late_reply_from_either_end_of_the_id_range_is_followed_up) {
  const struct {
    SimulatedMeter meter;
    bool found;
  } cases[] = {
      {{.slave = 247, .baudRate = 9600, .turnaround = 150ms}, true},
      {{.slave = 247, .baudRate = 19200, .turnaround = 1s}, true},
      {{.slave = 1, .baudRate = 9600, .turnaround = 150ms}, true},
      {{.slave = 246, .baudRate = 19200, .turnaround = 150ms}, true},
      {{.slave = 247, .baudRate = 9600, .turnaround = 150ms, .dead = true}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Describe(c.meter));
    const MeterAddress address{c.meter.slave, c.meter.baudRate};
    EXPECT_EQ(SearchAmong({c.meter}, address, 40), c.found ? std::optional(address) : std::nullopt);
  }
}

}  // namespace
}  // namespace testing
}  // namespace dornvel
