#include "protocol/meter_census.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "harness/fakes.h"
#include "harness/meters_on_line.h"
#include "harness/test_crc.h"
#include "protocol/line.h"

namespace dornvel::testing {
namespace {

// A row as the census lists it: "5@9600 ok 12.5 3", "7@19200 exception 4",
// "9@9600 duplicate".
std::string Row(const CensusEntry& entry) {
  std::string row = std::to_string(entry.meter.slave) + "@" + std::to_string(entry.meter.baudRate);
  switch (entry.state) {
    case CensusState::Ok: row += " ok"; break;
    case CensusState::Exception: row += " exception " + std::to_string(entry.exceptionCode); break;
    case CensusState::SuspectedDuplicate: row += " duplicate"; break;
  }
  if (entry.resistanceKohm) {
    std::string kohm = std::to_string(*entry.resistanceKohm);
    kohm.erase(kohm.find_last_not_of('0') + 1);
    if (kohm.back() == '.') kohm.pop_back();
    row += " " + kohm;
  }
  if (entry.switchValue) row += " " + std::to_string(*entry.switchValue);
  return row;
}

// Input registers 0-2 of a meter reading `kohm` (C D A B) with switch `value`.
std::map<int, std::uint16_t> Reading(std::uint16_t lowHalf, std::uint16_t highHalf, std::uint16_t value) {
  return {{0, lowHalf}, {1, highHalf}, {2, value}};
}
const auto k12_5 = Reading(0x0000, 0x4148, 3);  // 12.5 kOhm, switch 3
const auto k100 = Reading(0x0000, 0x42C8, 0);   // 100 kOhm, switch 0

struct CensusRun {
  Census census;
  std::vector<std::string> rows;  // as told to onFound
  double seconds = 0;
};

// A census of ids 1-20 (or the plan's) on a fake line that keeps line time,
// carrying `meters`; `noise` adds what other devices send.
CensusRun CensusOf(std::vector<SimulatedMeter> meters, CensusPlan plan = {.firstId = 1, .lastId = 20},
                   ScriptedSerialControl::Devices noise = {}) {
  FakeClock clock;
  FakeEventPump pump{clock};
  ScriptedSerialControl port{clock, pump, nullptr};
  MetersOnLine onLine(std::move(meters));
  onLine.Attach(port);
  if (noise) {
    port.devices = [&onLine, noise](const LineRequest& request) {
      auto replies = onLine.Answer(request);
      for (auto& extra : noise(request)) replies.push_back(std::move(extra));
      return replies;
    };
  }
  Line line(port);
  CensusRun run;
  CensusHooks hooks;
  hooks.onFound = [&run](const CensusEntry& entry) { run.rows.push_back(Row(entry)); };
  const TimePoint start = clock.Now();
  run.census = TakeCensus(line, {pump, clock}, plan, hooks);
  run.seconds = std::chrono::duration<double>(clock.Now() - start).count();
  EXPECT_FALSE(line.Held());
  return run;
}

std::vector<std::string> Rows(const Census& census) {
  std::vector<std::string> rows;
  for (const CensusEntry& entry : census.meters) rows.push_back(Row(entry));
  return rows;
}

TEST(MeterCensus, lists_each_meter_on_the_line_with_its_values_and_what_it_answered) {
  const struct {
    const char* line;
    std::vector<SimulatedMeter> meters;
    std::vector<std::string> rows;
    bool bothRates;
    int refusingId = 0;  // a device there answers every read with exception 2
  } cases[] = {
      {"nothing", {}, {}, false},
      {"one meter", {{.slave = 4, .baudRate = 9600, .inputRegisters = k12_5}}, {"4@9600 ok 12.5 3"}, false},
      {"several meters at one rate",
       {{.slave = 17, .baudRate = 19200, .inputRegisters = k100},
        {.slave = 2, .baudRate = 19200, .inputRegisters = k12_5},
        {.slave = 20, .baudRate = 19200, .inputRegisters = k100}},
       {"2@19200 ok 12.5 3", "17@19200 ok 100 0", "20@19200 ok 100 0"},
       false},
      {"meters at both rates",
       {{.slave = 3, .baudRate = 19200, .inputRegisters = k100},
        {.slave = 3, .baudRate = 9600, .inputRegisters = k12_5}},
       {"3@9600 ok 12.5 3", "3@19200 ok 100 0"},
       true},
      {"a meter without input registers: its values unread", {{.slave = 6, .baudRate = 9600}}, {"6@9600 ok"}, false},
      {"a meter without a switch register: the resistance read alone",
       {{.slave = 6, .baudRate = 9600, .inputRegisters = {{0, 0}, {1, 0x4148}, {5, 1}}}},
       {"6@9600 ok 12.5"},
       false},
      {"a device that refuses every read", {}, {"8@9600 exception 2"}, false, 8},
      {"a meter that answers 0.15 s late",
       {{.slave = 5, .baudRate = 9600, .turnaround = 150ms, .inputRegisters = k12_5}},
       {"5@9600 ok 12.5 3"},
       false},
      {"a meter that answers 1 s late, last of its rate",
       {{.slave = 20, .baudRate = 19200, .turnaround = 1s, .inputRegisters = k100}},
       {"20@19200 ok 100 0"},
       false},
      {"two late meters among prompt ones, listed as they are heard",
       {{.slave = 2, .baudRate = 9600, .turnaround = 1s, .inputRegisters = k100},
        {.slave = 3, .baudRate = 9600, .inputRegisters = k12_5},
        {.slave = 9, .baudRate = 9600, .turnaround = 300ms, .inputRegisters = k12_5}},
       {"3@9600 ok 12.5 3", "9@9600 ok 12.5 3", "2@9600 ok 100 0"},
       false},
      {"two meters sharing an id, answering together",
       {{.slave = 7, .baudRate = 9600, .inputRegisters = k12_5},
        {.slave = 7, .baudRate = 9600, .inputRegisters = k100},
        {.slave = 12, .baudRate = 9600, .inputRegisters = k100}},
       {"12@9600 ok 100 0", "7@9600 duplicate"},
       false},
      {"two meters sharing an id, one a little slower",
       {{.slave = 7, .baudRate = 19200, .inputRegisters = k12_5},
        {.slave = 7, .baudRate = 19200, .turnaround = 6ms, .inputRegisters = k12_5},
        {.slave = 1, .baudRate = 9600, .inputRegisters = k100}},
       {"1@9600 ok 100 0", "7@19200 duplicate"},
       true},
      {"a dead meter", {{.slave = 5, .baudRate = 9600, .dead = true}}, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const auto refusing = [id = c.refusingId](const LineRequest& request) {
      std::vector<ScriptedSerialControl::Reply> replies;
      if (request.baudRate == 9600 && request.frame[0] == id) {
        replies.push_back({{5ms, WithCrc({request.frame[0], static_cast<std::uint8_t>(request.frame[1] | 0x80), 2})}});
      }
      return replies;
    };
    const CensusRun run = CensusOf(c.meters, {.firstId = 1, .lastId = 20}, refusing);
    EXPECT_EQ(run.census.outcome, CensusOutcome::Done);
    EXPECT_EQ(Rows(run.census), c.rows);
    EXPECT_EQ(run.rows, c.rows);
    EXPECT_EQ(run.census.bothRates, c.bothRates);
    EXPECT_TRUE(run.census.garbled.empty());
  }
}

// Garbage from elsewhere (a babbling device, a burst of noise) garbles the
// answers of the ids it falls on, once each: never a duplicate; on a line
// where it falls often, not even a garbage that repeats is called one.
TEST(MeterCensus, garbage_that_does_not_repeat_or_a_noisy_line_makes_no_duplicate) {
  const Bytes burst = {0x5A, 0xF1, 0x33};
  const struct {
    const char* line;
    std::vector<int> garbledIds;      // every answer of these garbled
    std::vector<int> onceGarbledIds;  // the first answer of these garbled
    std::vector<std::string> rows;
    std::vector<int> garbled;  // left as garbled, not duplicates
  } cases[] = {
      {"a meter's first answer garbled", {}, {4}, {"4@9600 ok 12.5 3"}, {}},
      {"three silent ids garbled once each", {}, {2, 10, 15}, {"4@9600 ok 12.5 3"}, {}},
      {"a repeating garbage on a clean line", {9}, {}, {"4@9600 ok 12.5 3", "9@9600 duplicate"}, {}},
      {"a repeating garbage on a noisy line", {9}, {1, 2, 3, 5}, {"4@9600 ok 12.5 3"}, {9}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    auto asks = std::make_shared<std::map<int, int>>();
    const auto noise = [&c, asks, burst](const LineRequest& request) {
      std::vector<ScriptedSerialControl::Reply> replies;
      if (request.baudRate != 9600) return replies;
      const int id = request.frame[0];
      const int ask = ++(*asks)[id];
      const bool always = std::ranges::find(c.garbledIds, id) != c.garbledIds.end();
      const bool once = ask == 1 && std::ranges::find(c.onceGarbledIds, id) != c.onceGarbledIds.end();
      if (request.frame[1] == 0x03 && (always || once)) replies.push_back({{2ms, burst}});
      return replies;
    };
    const CensusRun run =
        CensusOf({{.slave = 4, .baudRate = 9600, .inputRegisters = k12_5}}, {.firstId = 1, .lastId = 20}, noise);
    EXPECT_EQ(Rows(run.census), c.rows);
    std::vector<int> garbled;
    for (const MeterAddress& meter : run.census.garbled) garbled.push_back(meter.slave);
    EXPECT_EQ(garbled, c.garbled);
  }
}

TEST(MeterCensus, asks_every_id_at_each_rate_reading_only_and_ends_as_told) {
  const struct {
    const char* what;
    bool openable;
    int cancelAfter;  // probes; 0: never
    CensusOutcome outcome;
    int requests;
  } cases[] = {
      {"a whole census", true, 0, CensusOutcome::Done, 2 * 20 + 1},
      {"cancelled at the fifth probe", true, 5, CensusOutcome::Cancelled, 4},
      {"a port that does not open", false, 0, CensusOutcome::PortUnavailable, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeClock clock;
    FakeEventPump pump{clock};
    ScriptedSerialControl port{clock, pump, nullptr};
    MetersOnLine onLine({{.slave = 11, .baudRate = 19200, .inputRegisters = k100}});
    onLine.Attach(port);
    port.openable = c.openable;
    port.SetSettings("9600,N,8,1");
    Line line(port);
    int probes = 0;
    CensusHooks hooks;
    hooks.onProbe = [&](MeterAddress, int number, int total) {
      probes = number;
      EXPECT_EQ(total, 40);
    };
    hooks.cancelled = [&] { return c.cancelAfter != 0 && probes >= c.cancelAfter; };
    const Census census = TakeCensus(line, {pump, clock}, {.firstId = 1, .lastId = 20}, hooks);
    EXPECT_EQ(census.outcome, c.outcome);
    EXPECT_EQ(static_cast<int>(port.Sent().size()), c.requests);
    for (const std::string& request : port.Sent()) {
      EXPECT_TRUE(request.substr(3, 2) == "03" || request.substr(3, 2) == "04") << request;
    }
    // The hold put the port back as it was.
    EXPECT_EQ(port.Settings(), "9600,N,8,1");
    EXPECT_FALSE(port.PortOpen());
  }
}

TEST(MeterCensus, refuses_a_line_held_by_another_tool) {
  FakeClock clock;
  FakeEventPump pump{clock};
  ScriptedSerialControl port{clock, pump, nullptr};
  Line line(port);
  const auto other = line.Take("search");
  EXPECT_EQ(TakeCensus(line, {pump, clock}, {}, {}).outcome, CensusOutcome::PortBusy);
  EXPECT_TRUE(port.Sent().empty());
}

}  // namespace
}  // namespace dornvel::testing
