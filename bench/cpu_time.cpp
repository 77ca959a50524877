#include <csignal>
#include <optional>
#include <string>
#include <vector>

#include "bench/figure_row.h"
#include "bench/line_figures.h"
#include "bench/program_cpu.h"
#include "bench/simulated_line.h"
#include "harness/program_process.h"
#include "harness/simulator.h"

namespace dornvel::bench {

namespace {

using namespace std::chrono_literals;

// dornvel's first tick also reads the holding registers; its second tick's
// first request opens the interval, and from then on a tick makes two reads
// (nolu and switch). mbpoll is given the same pace, a read every 500 ms.
constexpr int kRuns = 3;
constexpr int kProgramWarmUpRequests = 5;
constexpr int kMeasuredTicks = 10;
constexpr int kReadsPerTick = 2;
constexpr int kMbpollWarmUpRequests = 2;
constexpr int kMbpollMeasuredReads = 20;
constexpr double kTickTargetMs = 2;

std::optional<double> ProgramCpuPerTick() {
  testing::TempDir dir;
  testing::Simulator sim(dir, SimulatedMeter(kCpuBaud), testing::Simulator::LogMode::Tapped);
  testing::ProgramProcess program({{1, sim.Path()}});
  program.Start(std::nullopt);
  const auto cpu = CpuOverRequests(sim, program.Pid(), kProgramWarmUpRequests, kMeasuredTicks * kReadsPerTick);
  program.Stop(SIGTERM, 5s);
  sim.Stop();
  if (!cpu) return std::nullopt;
  return cpu->cpuSeconds / kMeasuredTicks;
}

// The same read as the tag "nolu".
std::optional<double> MbpollCpuPerRead() {
  testing::TempDir dir;
  testing::Simulator sim(dir, SimulatedMeter(kCpuBaud), testing::Simulator::LogMode::Tapped);
  // Slave 1 at kCpuBaud, no parity, 2 stop bits: one float from input register 0 every 500 ms.
  std::vector<std::string> arguments = {"-m", "rtu", "-a", "1", "-b", std::to_string(kCpuBaud), "-P", "none"};
  arguments.insert(arguments.end(), {"-s", "2", "-t", "3:float", "-0", "-r", "0", "-c", "1", "-l", "500", sim.Path()});
  testing::Process mbpoll(DORNVEL_MBPOLL_PATH, arguments, dir / "mbpoll-stderr.txt");
  const auto cpu = CpuOverRequests(sim, mbpoll.Pid(), kMbpollWarmUpRequests, kMbpollMeasuredReads);
  // Ctrl-C is how mbpoll's polling ends.
  mbpoll.Stop(SIGINT, 5s);
  sim.Stop();
  if (!cpu) return std::nullopt;
  return cpu->cpuSeconds / kMbpollMeasuredReads;
}

std::vector<double> Repeated(std::optional<double> (*measure)()) {
  std::vector<double> figures;
  for (int run = 0; run < kRuns; ++run) {
    if (const auto figure = measure()) figures.push_back(*figure);
  }
  return figures;
}

std::string Ms(double seconds) { return Fixed(seconds * 1e3, 3) + " ms"; }

}  // namespace

void PrintCpuTimes(std::optional<double> transactionCpuSeconds) {
  const std::vector<double> perTick = Repeated(ProgramCpuPerTick);
  const std::vector<double> mbpoll = Repeated(MbpollCpuPerRead);
  const std::string runs = ", median of " + std::to_string(kRuns) + " runs";
  const double tick = Median(perTick);
  const double peer = Median(mbpoll);

  Print({"CPU (user + sys) of dornvel per polling tick, window included" + runs,
         "<= " + Fixed(kTickTargetMs, 0) + " ms", perTick.empty() ? "no ticks" : Ms(tick), "-",
         !perTick.empty() && tick * 1e3 <= kTickTargetMs});

  const bool compared = transactionCpuSeconds && !mbpoll.empty();
  const double ratio = compared ? *transactionCpuSeconds / peer : 0;
  Print({"CPU (user + sys) per read of nolu, dornvel's transaction / mbpoll" + runs, "ratio <= 1.0",
         transactionCpuSeconds ? Ms(*transactionCpuSeconds) + " (ratio " + Fixed(ratio, 2) + ")" : "no good reply",
         mbpoll.empty() ? "mbpoll: no reads" : "mbpoll " + Ms(peer), compared && ratio <= 1.0});

  // What a read costs the whole program, painting the window included; shown
  // beside mbpoll, which paints nothing.
  if (!perTick.empty() && !mbpoll.empty()) {
    const double perRead = tick / kReadsPerTick;
    Print({"CPU per read of the whole dornvel process (tick / 2), window painting included", "report",
           Ms(perRead) + " (" + Fixed(perRead / peer, 1) + " x mbpoll)", "mbpoll " + Ms(peer), std::nullopt});
  }
}

}  // namespace dornvel::bench
