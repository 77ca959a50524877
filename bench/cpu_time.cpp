#include <csignal>
#include <string>
#include <vector>

#include "child_cpu.h"
#include "figure_row.h"
#include "line_figures.h"
#include "program_process.h"
#include "sim_harness.h"
#include "simulated_line.h"
#include "tapped_simulator.h"

namespace dornvel::bench {

namespace {

using namespace std::chrono_literals;

// Both masters pay for starting, loading libraries and opening the port, which
// no read repeats. Each is therefore run twice, short and long, and the
// difference of their CPU times is divided by the difference of their reads:
// what the reads of a running master cost, start-up cancelled out.
// dornvel ticks once a second with two reads a tick (the holding registers
// are read on the first tick only); mbpoll is given the same pace, a read
// every 500 ms, so that both wake the same number of times between reads.
constexpr int kRuns = 3;
constexpr int kShortTicks = 2;
constexpr int kLongTicks = 8;
constexpr int kShortReads = 1;
constexpr int kLongReads = 13;
constexpr int kBaud = 9600;
constexpr double kTickTargetMs = 2;

struct Usage {
  double cpuSeconds = 0;
  long reads = 0;
};

Usage ProgramUsage(int ticks) {
  e2e::TempDir dir;
  e2e::Simulator sim(dir, SimulatedMeter(kBaud));
  MapPorts({sim.path()});
  Usage usage;
  usage.cpuSeconds = ChildCpuSecondsWhile([&] {
    e2e::Process program = StartProgram(dir, ticks);
    program.wait_exit(std::chrono::seconds(ticks + 15));
  });
  sim.stop();
  usage.reads = sim.counters()["requests"];
  return usage;
}

// The same read as the tag "nolu": a float in input registers 0-1 of slave 1,
// at 9600 baud, no parity, 2 stop bits.
Usage MbpollUsage(int reads) {
  e2e::TempDir dir;
  TappedSimulator sim(dir, SimulatedMeter(kBaud));
  std::vector<std::string> arguments = {"-m", "rtu",  "-a", "1",  "-b", std::to_string(kBaud),
                                        "-P", "none", "-s", "2",  "-t", "3:float",
                                        "-0", "-r",   "0",  "-c", "1"};
  if (reads == 1) {
    arguments.push_back("-1");
  } else {
    arguments.insert(arguments.end(), {"-l", "500"});
  }
  arguments.push_back(sim.path());
  Usage usage;
  usage.cpuSeconds = ChildCpuSecondsWhile([&] {
    e2e::Process mbpoll(DORNVEL_MBPOLL_PATH, arguments, dir / "mbpoll-stderr.txt");
    while (usage.reads < reads && sim.WaitFor("TX", 5s)) ++usage.reads;
    // Ctrl-C is how mbpoll's polling ends; it closes the port and exits.
    if (reads == 1) {
      mbpoll.wait_exit(5s);
    } else {
      mbpoll.stop(SIGINT, 5s);
    }
  });
  sim.stop();
  return usage;
}

struct PerRead {
  std::vector<double> perTickMs;
  std::vector<double> perReadMs;
};

void AddDifference(PerRead& figures, const Usage& shortRun, const Usage& longRun, int extraTicks) {
  const double cpuMs = (longRun.cpuSeconds - shortRun.cpuSeconds) * 1e3;
  if (extraTicks > 0) figures.perTickMs.push_back(cpuMs / extraTicks);
  if (longRun.reads > shortRun.reads)
    figures.perReadMs.push_back(cpuMs / static_cast<double>(longRun.reads - shortRun.reads));
}

}  // namespace

void PrintCpuTimes() {
  PerRead program;
  PerRead mbpoll;
  for (int run = 0; run < kRuns; ++run) {
    AddDifference(program, ProgramUsage(kShortTicks), ProgramUsage(kLongTicks), kLongTicks - kShortTicks);
    AddDifference(mbpoll, MbpollUsage(kShortReads), MbpollUsage(kLongReads), 0);
  }
  const double perTick = Median(program.perTickMs);
  const double perRead = Median(program.perReadMs);
  const double peerPerRead = Median(mbpoll.perReadMs);
  Print({"CPU (user + sys) of dornvel per polling tick, median of " + std::to_string(kRuns) + " runs",
         "<= " + Fixed(kTickTargetMs, 0) + " ms", Fixed(perTick, 3) + " ms", "-",
         !program.perTickMs.empty() && perTick <= kTickTargetMs});
  const double ratio = peerPerRead > 0 ? perRead / peerPerRead : 0;
  Print({"CPU (user + sys) per read of nolu, dornvel / mbpoll, median of " + std::to_string(kRuns) + " runs",
         "ratio <= 1.0", Fixed(perRead, 3) + " ms (ratio " + Fixed(ratio, 2) + ")",
         "mbpoll " + Fixed(peerPerRead, 3) + " ms",
         !program.perReadMs.empty() && !mbpoll.perReadMs.empty() && ratio <= 1.0});
}

}  // namespace dornvel::bench
