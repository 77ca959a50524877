#include <chrono>
#include <string>
#include <vector>

#include "bench/figure_row.h"
#include "bench/line_figures.h"
#include "bench/process_cpu.h"
#include "bench/simulated_line.h"
#include "harness/port_map.h"
#include "harness/simulator.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_serial_control.h"
#include "platform/steady_clock.h"
#include "protocol/line.h"
#include "protocol/mb_data.h"

namespace dornvel::bench {

namespace {

using SteadyTime = std::chrono::steady_clock;

constexpr int kRuns = 5;
constexpr int kTransactionsPerRun = 10;
constexpr double kTargetRatio = 1.02;

struct ReadRuns {
  std::vector<double> wallSeconds;  // the median of each run
  std::vector<double> cpuSeconds;   // the median of each run, this thread's user + system
};

// One read of "nolu" after another, as a tick makes them, by a tag of this
// process: no window, so its CPU is the transaction's alone. Empty when a read
// failed.
ReadRuns ReadTimes(int baud) {
  testing::TempDir dir;
  testing::Simulator sim(dir, SimulatedMeter(baud));
  testing::ScopedPortMap ports({{1, sim.Path()}});
  QtEventPump pump;
  SteadyClock clock;
  QtSerialControl control;
  Line line(control);
  control.SetSettings(std::to_string(baud) + ",N,8,2");
  MBData tag(ProtocolServices{pump, clock});
  tag.Init(1, InputRegisters, 0, FloatType, &line, "nolu", nullptr);
  tag.Refresh();  // opens the port: a one-off, kept out of the figures

  ReadRuns runs;
  for (int run = 0; run < kRuns; ++run) {
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int i = 0; i < kTransactionsPerRun; ++i) {
      const auto start = SteadyTime::now();
      const double cpuStart = ThreadCpuSeconds();
      tag.Refresh();
      cpus.push_back(ThreadCpuSeconds() - cpuStart);
      walls.push_back(std::chrono::duration<double>(SteadyTime::now() - start).count());
      if (tag.LastError != 0 || tag.Data() != Value(12.5f)) return {};
    }
    runs.wallSeconds.push_back(Median(walls));
    runs.cpuSeconds.push_back(Median(cpus));
  }
  return runs;
}

}  // namespace

std::optional<double> PrintTransactionTimes() {
  std::optional<double> cpuPerRead;
  for (int baud : {9600, 19200}) {
    const ReadRuns runs = ReadTimes(baud);
    const double floor = TransactionFloorSeconds(baud);
    const double wall = Median(runs.wallSeconds);
    const double ratio = wall / floor;
    const bool read = !runs.wallSeconds.empty();
    Print({"transaction wall time / floor (line time + 0.1 s), " + std::to_string(baud) + " baud, read of nolu",
           "<= " + Fixed(kTargetRatio, 2),
           read ? Fixed(wall * 1e3, 1) + " / " + Fixed(floor * 1e3, 1) + " ms = " + Fixed(ratio, 3) : "no good reply",
           "-", read && ratio <= kTargetRatio});
    if (baud == kCpuBaud && read) cpuPerRead = Median(runs.cpuSeconds);
  }
  return cpuPerRead;
}

}  // namespace dornvel::bench
