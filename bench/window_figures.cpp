// The window polling dornvel-sim over a pseudo-terminal, in this process:
//   dornvel-window-figures polling TICKS           input latency and memory
//   dornvel-window-figures fault KIND WHEN SECONDS the same on a hostile line
//   dornvel-window-figures soak SECONDS            polling with 1% faults
// Prints rows of the figures table (see figure_row.h).
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "bench/figure_row.h"
#include "bench/latency_probe.h"
#include "bench/simulated_line.h"
#include "harness/program_window.h"
#include "harness/resident_memory.h"
#include "harness/simulator.h"

namespace dornvel::bench {
namespace {

using SteadyTime = std::chrono::steady_clock;
using testing::HeapInUseKiB;
using testing::PeakResidentKiB;
using testing::ResidentKiB;

constexpr int kBaud = 9600;
// Only the 0.1 s of silence that ends a reply holds events back; 20 ms is left
// for the rest of the exchange and for the window's own work.
constexpr double kLatencyTargetMs = 120;
// Babbling holds events back while the bytes keep coming: until 256 bytes
// (0.29 s at 9600 baud) or 2 s after the first byte at the latest.
constexpr double kBabblingLatencyTargetMs = 2000 + 20;

// Memory is judged from tick 100 on: the first ticks fill caches (fonts,
// texts) once.
constexpr int kSettledTick = 100;

struct LatencyAndMemory {
  // Filled in place, so that the figures add no memory of their own while the
  // window's is measured.
  std::vector<double> longestPerTickMs;
  double worstMs = 0;
  long firstTickKiB = 0;
  long settledKiB = 0;
  long lastTickKiB = 0;
  long settledHeapKiB = 0;
  long lastHeapKiB = 0;
  int ticks = 0;

  std::string MemoryText() const {
    return std::to_string(firstTickKiB) + " -> " + std::to_string(lastTickKiB) + " KiB";
  }
  bool Settled() const { return ticks >= kSettledTick && lastTickKiB <= settledKiB; }
  // Bytes in use on the heap, unlike the resident set, do not count pages that
  // freed blocks leave behind: growth there is a leak, not fragmentation.
  bool HeapSettled() const { return ticks >= kSettledTick && lastHeapKiB <= settledHeapKiB; }
};

// Far above the longest tick a hostile line can cause: four exchanges of 2.1 s.
constexpr auto kTickDeadline = std::chrono::seconds(30);

// The window on the device at `devicePath`, polling back to back rather than
// once a second, so that a thousand ticks take minutes, not a quarter of an hour.
// Not with no pause at all: a tick on a hung-up line fails at once, and
// thousands of them a second (a day of trend points in under a minute) would
// measure the bench, not the program.
constexpr auto kPollingInterval = std::chrono::milliseconds(50);

std::unique_ptr<testing::ProgramWindow> PollingWindow(const std::string& devicePath) {
  auto window = std::make_unique<testing::ProgramWindow>(testing::PortDevices{{1, devicePath}});
  window->Start();
  window->SetPollingInterval(kPollingInterval);
  return window;
}

// Runs ticks while `goOn(tick)` holds, noting the longest event delay of each
// of the first `perTickCount` ticks, the worst of all, and the resident memory
// after the first, the 100th and the last.
LatencyAndMemory Poll(testing::ProgramWindow& window, std::size_t perTickCount, const std::function<bool(int)>& goOn) {
  LatencyAndMemory figures;
  figures.longestPerTickMs.assign(perTickCount, 0);
  LatencyProbe probe;
  int lastTick = 0;
  const auto afterTick = [&](int tick) {
    const double longestMs = probe.TakeLongestMs();
    figures.worstMs = std::max(figures.worstMs, longestMs);
    if (static_cast<std::size_t>(tick) <= perTickCount) figures.longestPerTickMs[tick - 1] = longestMs;
    figures.lastTickKiB = ResidentKiB();
    figures.lastHeapKiB = HeapInUseKiB();
    if (tick == 1) figures.firstTickKiB = figures.lastTickKiB;
    if (tick == kSettledTick) {
      figures.settledKiB = figures.lastTickKiB;
      figures.settledHeapKiB = figures.lastHeapKiB;
    }
    return goOn(tick);
  };
  // Each tick is looked at once; a tick that does not end in time ends the run.
  while (window.RunTicks(1, kTickDeadline) && afterTick(++lastTick)) {
  }
  figures.ticks = lastTick;
  return figures;
}

long FaultsInjected(const std::map<std::string, long>& counters, const std::vector<std::string>& kinds) {
  long sum = 0;
  for (const auto& kind : kinds) sum += counters.count(kind) ? counters.at(kind) : 0;
  return sum;
}

int Polling(int ticks) {
  testing::TempDir dir;
  testing::Simulator sim(dir, SimulatedMeter(kBaud));
  const auto window = PollingWindow(sim.Path());
  const auto figures = Poll(*window, static_cast<std::size_t>(ticks), [&](int tick) { return tick < ticks; });
  const long peak = PeakResidentKiB();
  const double medianMs = Median(figures.longestPerTickMs);
  Print({"input latency while polling: longest event delay in a tick, median of " + std::to_string(figures.ticks) +
             " ticks (worst)",
         "<= " + Fixed(kLatencyTargetMs, 0) + " ms", Fixed(medianMs, 1) + " ms (" + Fixed(figures.worstMs, 1) + ")",
         "-", medianMs <= kLatencyTargetMs});
  Print({"resident memory at tick " + std::to_string(kSettledTick) + " -> tick " + std::to_string(figures.ticks),
         "no growth",
         std::to_string(figures.settledKiB) + " -> " + std::to_string(figures.lastTickKiB) + " KiB (heap in use " +
             std::to_string(figures.settledHeapKiB) + " -> " + std::to_string(figures.lastHeapKiB) + " KiB)",
         "-", figures.ticks == ticks && figures.Settled()});
  Print({"peak resident memory after " + std::to_string(figures.ticks) + " ticks", "report",
         std::to_string(peak) + " KiB", "-", std::nullopt});
  return 0;
}

const std::map<std::string, std::string> kFaultNames = {
    {"silence", "silence"},    {"delay", "delay"},         {"bad-crc", "bad CRC"},
    {"foreign", "foreign id"}, {"exception", "exception"}, {"split", "split"},
    {"short", "truncated"},    {"babble", "babbling"},     {"hangup", "hang-up"},
};

// Runs for a time rather than a number of ticks: while a hung-up line is away,
// ticks fail at once and thousands of them would pass in its 2 s.
int HostileLine(const std::string& kind, const std::string& when, int seconds) {
  if (!kFaultNames.count(kind)) {
    std::cerr << "unknown fault " << kind << '\n';
    return 2;
  }
  testing::TempDir dir;
  auto arguments = SimulatedMeter(kBaud);
  // The program follows the link when the line comes back after a hang-up.
  const std::string link = (dir / "com1").string();
  arguments.insert(arguments.end(), {"--" + kind, when, "--link", link});
  testing::Simulator sim(dir, arguments);
  long errors = 0;
  LatencyAndMemory figures;
  {
    const auto window = PollingWindow(link);
    const auto end = SteadyTime::now() + std::chrono::seconds(seconds);
    figures = Poll(*window, 0, [&](int) { return SteadyTime::now() < end; });
    errors = window->ErrorCount().value_or(-1);
  }
  sim.Stop();
  const double target = kind == "babble" ? kBabblingLatencyTargetMs : kLatencyTargetMs;
  Print({"hostile line, " + kFaultNames.at(kind) + " (" + when + "): worst event delay; memory; errors/faults; ticks",
         "<= " + Fixed(target, 0) + " ms",
         Fixed(figures.worstMs, 1) + " ms; " + figures.MemoryText() + "; " + std::to_string(errors) + "/" +
             std::to_string(FaultsInjected(sim.Counters(), {kind})) + "; ticks " + std::to_string(figures.ticks),
         "-", figures.worstMs <= target});
  return 0;
}

// The faults of the soak are those that each make exactly one error: no reply,
// or a reply that is refused or reports an error. 0.2% of each is 1% in all.
const std::vector<std::string> kSoakFaults = {"silence", "bad-crc", "foreign", "exception", "short"};

int Soak(int seconds) {
  testing::TempDir dir;
  auto arguments = SimulatedMeter(kBaud);
  for (const auto& kind : kSoakFaults) arguments.insert(arguments.end(), {"--" + kind, "0.2%"});
  testing::Simulator sim(dir, arguments);
  long errors = 0;
  LatencyAndMemory figures;
  {
    const auto window = PollingWindow(sim.Path());
    const auto end = SteadyTime::now() + std::chrono::seconds(seconds);
    figures = Poll(*window, 0, [&](int) { return SteadyTime::now() < end; });
    errors = window->ErrorCount().value_or(-1);
  }
  sim.Stop();
  const auto counters = sim.Counters();
  const long faults = FaultsInjected(counters, kSoakFaults);
  const long requests = counters.count("requests") ? counters.at("requests") : 0;
  Print({"soak " + std::to_string(seconds) +
             " s, 1% faults: crash; resident memory tick 1, 100, last (heap in use 100, last); errors/faults",
         "no crash, heap flat, equal",
         "no crash (" + std::to_string(figures.ticks) + " ticks, " + std::to_string(requests) + " requests); " +
             std::to_string(figures.firstTickKiB) + ", " + std::to_string(figures.settledKiB) + ", " +
             std::to_string(figures.lastTickKiB) + " KiB (" + std::to_string(figures.settledHeapKiB) + ", " +
             std::to_string(figures.lastHeapKiB) + " KiB); " + std::to_string(errors) + "/" + std::to_string(faults),
         "-", figures.HeapSettled() && errors == faults});
  return 0;
}

int Usage() {
  std::cerr << "usage: dornvel-window-figures polling TICKS | fault KIND WHEN SECONDS | soak SECONDS\n";
  return 2;
}

}  // namespace
}  // namespace dornvel::bench

int main(int argc, char** argv) {
  using namespace dornvel::bench;
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "polling") return Polling(std::stoi(args[1]));
  if (args.size() == 4 && args[0] == "fault") return HostileLine(args[1], args[2], std::stoi(args[3]));
  if (args.size() == 2 && args[0] == "soak") return Soak(std::stoi(args[1]));
  return Usage();
}
