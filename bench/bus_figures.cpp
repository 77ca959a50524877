// The bus view's polling of many meters on one line:
//   dornvel-bus-figures
// Prints rows of the figures table (see figure_row.h). On the fake clock, the
// schedule itself on a line that keeps line time (tests/harness): the longest
// refresh period of 32 meters at 19200 and at 9600 baud against 1 s and
// 1.5 s and against the line's floor, and what a dead meter costs. Then the
// program itself, dornvel --bus, against dornvel-sim's line of 32 meters
// (--meter ID@RATE) over a pseudo-terminal: the refresh period, and CPU per
// meter read against mbpoll's per read on the same kind of line.
#include <algorithm>
#include <csignal>
#include <string>
#include <vector>

#include "bench/figure_row.h"
#include "bench/program_cpu.h"
#include "harness/bus_on_fake_line.h"
#include "harness/program_process.h"
#include "harness/simulator.h"
#include "protocol/bus_schedule.h"

namespace dornvel::bench {
namespace {

using namespace std::chrono_literals;
using testing::BusRun;
using testing::SimulatedMeter;

constexpr int kMeters = 32;
// The simulator's own turnaround, from the end of a request to its reply.
constexpr Duration kSimTurnaround = 5ms;
constexpr double kFloorMargin = 1.05;
constexpr double kDeadMeterCost = 0.10;

double Ms(Duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Line {
  std::vector<MeterAddress> polled;
  std::vector<SimulatedMeter> onLine;
};

Line Meters(int rate, int count) {
  Line line;
  for (int slave = 1; slave <= count; ++slave) {
    line.polled.push_back({slave, rate});
    line.onLine.push_back({.slave = slave,
                           .baudRate = rate,
                           .turnaround = kSimTurnaround,
                           .inputRegisters = {{0, 0}, {1, 0x4148}, {2, 7}}});
  }
  return line;
}

Duration LongestPeriod(const BusRun& run, std::size_t meters) {
  Duration longest{};
  for (std::size_t meter = 0; meter < meters; ++meter) {
    const auto intervals = testing::RefreshIntervals(run, meter);
    // The first runs from the start: no period.
    if (intervals.size() > 1) longest = std::max(longest, *std::max_element(intervals.begin() + 1, intervals.end()));
  }
  return longest;
}

void PrintFakeClockPeriod(int rate, Duration target) {
  const Line line = Meters(rate, kMeters);
  const BusRun run = RunBusOnFakeLine(line.polled, line.onLine, 20s);
  const Duration longest = LongestPeriod(run, line.polled.size());
  const Duration floor = testing::BusFloor(line.onLine);
  const double ratio = Ms(longest) / Ms(floor);
  Print({"fake clock: longest refresh period of 32 meters at " + std::to_string(rate) + " baud",
         "<= " + Fixed(Ms(target), 0) + " ms and <= " + Fixed(kFloorMargin, 2) + " x floor",
         Fixed(Ms(longest), 1) + " ms, " + Fixed(ratio, 3) + " x the floor of " + Fixed(Ms(floor), 1) + " ms", "-",
         longest <= target && ratio <= kFloorMargin});
}

// Answered polls of the live meters after the dead one's first misses, with
// it on the line and without it.
void PrintFakeClockDeadMeter() {
  Line line = Meters(19200, kMeters);
  Line without = line;
  without.polled.pop_back();
  without.onLine.pop_back();
  line.onLine.back().dead = true;
  const Duration length = 120s;
  const BusRun run = RunBusOnFakeLine(line.polled, line.onLine, length);
  const BusRun alone = RunBusOnFakeLine(without.polled, without.onLine, length);
  // From the end of its third miss on, when it is taken for dead.
  Duration deadFrom{};
  int misses = 0;
  for (const testing::EndedPoll& poll : run.polls) {
    if (poll.meter == line.polled.size() - 1 && ++misses == kMissesBeforeDead) deadFrom = poll.at - run.start;
  }
  const auto answered = [deadFrom](const BusRun& r) {
    return static_cast<double>(std::ranges::count_if(r.polls, [&](const testing::EndedPoll& p) {
      return p.at - r.start >= deadFrom && p.end == BusPollEnd::Answered;
    }));
  };
  const double growth = answered(alone) / answered(run) - 1;
  const int waits = run.meters.back().timeouts;
  Print(
      {"fake clock: one dead meter among 32 at 19200 over 120 s: its waits; the others' refresh period once it is "
       "taken for dead",
       "<= 1 wait / 10 s after 3; growth <= " + Fixed(kDeadMeterCost * 100, 0) + " %",
       std::to_string(waits) + " waits of " + Fixed(Ms(kBusFirstByteWait), 0) + " ms, period +" +
           Fixed(growth * 100, 1) + " %",
       "-", waits <= kMissesBeforeDead + 12 && growth <= kDeadMeterCost});
}

// dornvel-sim with 32 meters at `rate`, tapped.
std::vector<std::string> SimulatedLine(const testing::TempDir& dir, int rate) {
  std::vector<std::string> arguments = {"--link", (dir / "com1").string()};
  for (int slave = 1; slave <= kMeters; ++slave) {
    arguments.insert(arguments.end(), {"--meter", std::to_string(slave) + "@" + std::to_string(rate) + ":12.5"});
  }
  return arguments;
}

// Enough reads that a virtual machine's uneven wake-ups even out (figures of
// 5 rounds and 20 reads varied by a fifth from run to run).
constexpr int kRounds = 15;

void PrintProgramOnSimulator(int rate, Duration target, std::optional<double>& cpuPerRead) {
  testing::TempDir dir;
  testing::Simulator sim(dir, SimulatedLine(dir, rate), testing::Simulator::LogMode::Tapped);
  const std::string what = "dornvel --bus, 32 meters at " + std::to_string(rate) + " baud on dornvel-sim: ";
  if (sim.Path().empty()) {
    Print({what + "refresh period", "<= " + Fixed(Ms(target), 0) + " ms", "no line of meters: " + sim.Errors(), "-",
           false});
    return;
  }
  testing::ProgramProcess program({{1, (dir / "com1").string()}});
  program.Start(std::nullopt, {"--bus", "--meters", "1-32@" + std::to_string(rate)});
  const auto cpu = CpuOverRequests(sim, program.Pid(), kMeters, kMeters * kRounds);
  program.Stop(SIGTERM, 5s);
  sim.Stop();
  if (!cpu) {
    Print({what + "refresh period", "<= " + Fixed(Ms(target), 0) + " ms", "no polls", "-", false});
    return;
  }
  const Line line = Meters(rate, kMeters);
  const double period = cpu->wallSeconds * 1e3 / kRounds;
  const double floor = Ms(testing::BusFloor(line.onLine));
  Print({what + "mean refresh period",
         "<= " + Fixed(Ms(target), 0) + " ms and <= " + Fixed(kFloorMargin, 2) + " x floor",
         Fixed(period, 1) + " ms, " + Fixed(period / floor, 3) + " x the floor of " + Fixed(floor, 1) + " ms", "-",
         period <= Ms(target) && period / floor <= kFloorMargin});
  cpuPerRead = cpu->cpuSeconds / (kMeters * kRounds);
}

// mbpoll reading input registers 0-2 of one meter of such a line, 10 times a
// second.
std::optional<double> MbpollCpuPerRead(int rate) {
  testing::TempDir dir;
  testing::Simulator sim(dir, SimulatedLine(dir, rate), testing::Simulator::LogMode::Tapped);
  if (sim.Path().empty()) return std::nullopt;
  const std::vector<std::string> arguments = {
      "-m", "rtu", "-a", "1",   "-b",      std::to_string(rate), "-P", "none", "-s", "2", "-t", "3", "-0", "-r", "0",
      "-c", "3",   "-l", "100", sim.Path()};
  testing::Process mbpoll(DORNVEL_MBPOLL_PATH, arguments, dir / "mbpoll-stderr.txt");
  constexpr int kReads = 60;
  const auto cpu = CpuOverRequests(sim, mbpoll.Pid(), 2, kReads);
  mbpoll.Stop(SIGINT, 5s);
  sim.Stop();
  if (!cpu) return std::nullopt;
  return cpu->cpuSeconds / kReads;
}

void PrintCpu(int rate, std::optional<double> perRead) {
  const auto peer = MbpollCpuPerRead(rate);
  const bool compared = perRead && peer;
  Print({"CPU (user + sys) per meter read, dornvel --bus / mbpoll, " + std::to_string(rate) + " baud", "ratio <= 1.0",
         perRead ? Fixed(*perRead * 1e3, 3) + " ms" + (compared ? " (ratio " + Fixed(*perRead / *peer, 2) + ")" : "")
                 : "no reads",
         peer ? "mbpoll " + Fixed(*peer * 1e3, 3) + " ms" : "mbpoll: no reads", compared && *perRead <= *peer});
}

}  // namespace
}  // namespace dornvel::bench

int main() {
  using namespace std::chrono_literals;
  dornvel::bench::PrintFakeClockPeriod(19200, 1s);
  dornvel::bench::PrintFakeClockPeriod(9600, 1500ms);
  dornvel::bench::PrintFakeClockDeadMeter();
  for (const auto& [rate, target] : {std::pair{19200, 1000ms}, std::pair{9600, 1500ms}}) {
    std::optional<double> cpu;
    dornvel::bench::PrintProgramOnSimulator(rate, target, cpu);
    dornvel::bench::PrintCpu(rate, cpu);
  }
  return 0;
}
