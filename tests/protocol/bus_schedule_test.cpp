#include "protocol/bus_schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "harness/bus_on_fake_line.h"
#include "protocol/bus_drive.h"
#include "protocol/line_settings.h"

namespace dornvel::testing {
namespace {

// Meters that read resistance and switch from input registers 0-2.
SimulatedMeter Meter(int slave, int rate, Duration turnaround = 5ms) {
  return {.slave = slave, .baudRate = rate, .turnaround = turnaround, .inputRegisters = {{0, 0}, {1, 0x4148}, {2, 7}}};
}

struct Line {
  std::vector<MeterAddress> polled;
  std::vector<SimulatedMeter> onLine;
};

// `count` meters from slave id `first` at `rate`.
void AddMeters(Line& line, int first, int count, int rate, Duration turnaround = 5ms) {
  for (int slave = first; slave < first + count; ++slave) {
    line.polled.push_back({slave, rate});
    line.onLine.push_back(Meter(slave, rate, turnaround));
  }
}

Duration Longest(const std::vector<Duration>& intervals) {
  // The first interval runs from the start: it is no refresh period.
  return intervals.size() < 2 ? Duration::max() : *std::max_element(intervals.begin() + 1, intervals.end());
}

double Ms(Duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

TEST(BusSchedule, every_meter_is_refreshed_within_5_percent_of_the_lines_floor) {
  const struct {
    const char* what;
    int at9600;
    int at19200;
    Duration turnaround;
    Duration target;
  } cases[] = {
      {"32 at 19200", 0, 32, 5ms, 1s},
      {"32 at 9600", 32, 0, 5ms, 1500ms},
      {"16 at each rate", 16, 16, 5ms, 1500ms},
      {"4 slow ones at 9600", 4, 0, 40ms, 1s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Line line;
    AddMeters(line, 1, c.at9600, 9600, c.turnaround);
    AddMeters(line, 100, c.at19200, 19200, c.turnaround);
    const BusRun run = RunBusOnFakeLine(line.polled, line.onLine, 10s);
    const Duration floor = BusFloor(line.onLine);
    // Woken to send, when all of a reply but its last byte can be in, and at
    // the last (and once more at a change of rate): not for each byte, and for
    // the first only at a meter's first poll, which learns when it comes.
    EXPECT_LE(run.wakes,
              3 * static_cast<int>(run.polls.size()) + static_cast<int>(line.polled.size()) + run.portOpenings + 2);
    for (std::size_t meter = 0; meter < line.polled.size(); ++meter) {
      const Duration longest = Longest(RefreshIntervals(run, meter));
      EXPECT_LE(Ms(longest), Ms(floor) * 1.05) << "slave " << line.polled[meter].slave;
      EXPECT_LE(longest, c.target) << "slave " << line.polled[meter].slave;
    }
  }
}

TEST(BusSchedule, a_dead_meter_costs_one_wait_in_10_s_and_the_others_at_most_10_percent) {
  const struct {
    const char* what;
    int at9600;
    int at19200;
    int dead;  // slave id
  } cases[] = {
      {"32 at 19200, the 7th dead", 0, 32, 107},
      {"32 at 9600, the first dead", 32, 0, 1},
      {"8 at each rate, one at 19200 dead", 8, 8, 103},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Line line;
    AddMeters(line, 1, c.at9600, 9600);
    AddMeters(line, 100, c.at19200, 19200);
    Line without = line;
    const auto dead = std::ranges::find(line.onLine, c.dead, &SimulatedMeter::slave);
    dead->dead = true;
    const std::size_t deadPlace = static_cast<std::size_t>(dead - line.onLine.begin());
    without.polled.erase(without.polled.begin() + static_cast<std::ptrdiff_t>(deadPlace));
    without.onLine.erase(without.onLine.begin() + static_cast<std::ptrdiff_t>(deadPlace));

    const BusRun run = RunBusOnFakeLine(line.polled, line.onLine, 65s);
    const BusRun alone = RunBusOnFakeLine(without.polled, without.onLine, 65s);

    std::vector<TimePoint> waits;
    for (const EndedPoll& poll : run.polls) {
      if (poll.meter == deadPlace) waits.push_back(poll.at);
    }
    ASSERT_GE(waits.size(), static_cast<std::size_t>(kMissesBeforeDead + 1));
    for (std::size_t i = kMissesBeforeDead; i < waits.size(); ++i) {
      EXPECT_GE(waits[i] - waits[i - 1], kDeadRetryInterval + kBusFirstByteWait) << "wait " << i;
    }
    EXPECT_EQ(run.meters[deadPlace].good, 0);
    EXPECT_EQ(run.meters[deadPlace].timeouts, static_cast<int>(waits.size()));

    // Over the time after its first misses: the others' polls in the run with
    // the dead meter, against the same line without it.
    const auto answeredAfter = [](const BusRun& r, TimePoint from) {
      return std::ranges::count_if(
          r.polls, [from](const EndedPoll& p) { return p.at >= from && p.end == BusPollEnd::Answered; });
    };
    const double with = static_cast<double>(answeredAfter(run, waits[kMissesBeforeDead - 1]));
    const double withoutDead =
        static_cast<double>(answeredAfter(alone, waits[kMissesBeforeDead - 1] - run.start + alone.start));
    EXPECT_GE(with * 1.10, withoutDead);
  }
}

TEST(BusSchedule, a_meter_that_refuses_the_read_of_three_registers_is_asked_twice_from_then_on) {
  const struct {
    const char* what;
    SimulatedMeter meter;
    std::vector<std::string> firstTwoPolls;
    BusPollEnd end;
    std::uint8_t error;
  } cases[] = {
      {"takes three registers",
       Meter(5, 9600),
       {"05 04 00 00 00 03 B1 8F", "05 04 00 00 00 03 B1 8F"},
       BusPollEnd::Answered,
       0},
      {"takes two at most: exception 3",
       {.slave = 5, .inputRegisters = {{0, 0}, {1, 0x4148}, {2, 7}}, .longestRead = 2},
       {"05 04 00 00 00 03 B1 8F", "05 04 00 00 00 02 70 4F", "05 04 00 02 00 01 91 8E", "05 04 00 00 00 02 70 4F",
        "05 04 00 02 00 01 91 8E"},
       BusPollEnd::Answered,
       0},
      {"has no register 2: exception 2, and again for the switch",
       {.slave = 5, .inputRegisters = {{0, 0}, {1, 0x4148}}},
       {"05 04 00 00 00 03 B1 8F", "05 04 00 00 00 02 70 4F", "05 04 00 02 00 01 91 8E", "05 04 00 00 00 02 70 4F",
        "05 04 00 02 00 01 91 8E"},
       BusPollEnd::Refused,
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const BusRun run = RunBusOnFakeLine({{5, 9600}}, {c.meter}, 300ms);
    ASSERT_GE(run.sent.size(), c.firstTwoPolls.size());
    EXPECT_EQ(std::vector(run.sent.begin(), run.sent.begin() + static_cast<std::ptrdiff_t>(c.firstTwoPolls.size())),
              c.firstTwoPolls);
    ASSERT_EQ(run.meters.size(), 1u);
    EXPECT_EQ(run.meters[0].lastEnd, c.end);
    EXPECT_EQ(run.meters[0].lastError, c.error);
    if (c.end == BusPollEnd::Answered) {
      EXPECT_EQ(run.meters[0].resistanceKohm, 12.5f);
      EXPECT_EQ(run.meters[0].switchValue, 7);
    }
  }
}

TEST(BusSchedule, meters_are_polled_one_rate_group_after_the_other_the_ports_rate_first) {
  const std::vector<MeterAddress> polled = {{1, 9600}, {2, 19200}, {3, 9600}, {4, 19200}, {5, 9600}};
  std::vector<SimulatedMeter> onLine;
  for (const MeterAddress& m : polled) onLine.push_back(Meter(m.slave, m.baudRate));
  const BusRun run = RunBusOnFakeLine(polled, onLine, 2s);
  std::vector<int> firstRound;
  for (std::size_t i = 0; i < polled.size(); ++i) firstRound.push_back(polled[run.polls[i].meter].slave);
  EXPECT_EQ(firstRound, (std::vector<int>{1, 3, 5, 2, 4}));
  // Two rate changes a round, each an opening of the port.
  const auto rounds = static_cast<int>(run.polls.size() / polled.size());
  EXPECT_GE(run.portOpenings, 2 * rounds - 1);
  EXPECT_LE(run.portOpenings, 2 * rounds + 1);
  for (const BusMeterState& meter : run.meters) EXPECT_EQ(meter.timeouts + meter.badReplies, 0);
}

// A port that will not open is tried again once a second; in between its
// driver sleeps rather than spinning on a wait that a closed port ends at once.
TEST(BusSchedule, a_port_that_will_not_open_is_tried_once_a_second_and_slept_on_between) {
  const BusRun run = RunBusOnFakeLine({{1, 9600}}, {Meter(1, 9600)}, 10s, false);
  EXPECT_GE(run.portOpenings, 9);
  EXPECT_LE(run.portOpenings, 11);
  EXPECT_LE(run.wakes, 10s / kBusStopLatency + 2);
  EXPECT_TRUE(run.polls.empty());
}

TEST(BusMeterState, a_row_shows_its_reading_as_current_only_after_an_answered_poll) {
  BusMeterState answered;
  answered.resistanceKohm = 12.5f;
  answered.switchValue = 7;
  answered.lastEnd = BusPollEnd::Answered;
  BusMeterState silent = answered;
  silent.lastEnd = BusPollEnd::Silent;
  BusMeterState refused = answered;
  refused.lastEnd = BusPollEnd::Refused;
  BusMeterState infinite = answered;
  infinite.resistanceKohm = std::numeric_limits<float>::infinity();
  const struct {
    const char* what;
    BusMeterState state;
    bool current;
  } cases[] = {
      {"answered", answered, true},      {"silent since", silent, false},
      {"refused since", refused, false}, {"an infinite resistance", infinite, false},
      {"never polled", {}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(ShowsCurrent(c.state), c.current) << c.what;
}

}  // namespace
}  // namespace dornvel::testing
