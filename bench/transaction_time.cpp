#include <chrono>
#include <string>
#include <vector>

#include "figure_row.h"
#include "line_figures.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_serial_control.h"
#include "platform/steady_clock.h"
#include "protocol/mb_data.h"
#include "sim_harness.h"
#include "simulated_line.h"

namespace dornvel::bench {

namespace {

using SteadyTime = std::chrono::steady_clock;

constexpr int kRuns = 5;
constexpr int kTransactionsPerRun = 10;
constexpr double kTargetRatio = 1.02;

// One read of "nolu" after another, as a tick makes them: the median wall
// time of each run, in seconds; empty when a read failed.
std::vector<double> ReadTimes(int baud) {
  e2e::TempDir dir;
  e2e::Simulator sim(dir, SimulatedMeter(baud));
  MapPorts({sim.path()});
  QtEventPump pump;
  SteadyClock clock;
  QtSerialControl control;
  control.SetSettings(std::to_string(baud) + ",N,8,2");
  MBData tag(ProtocolServices{pump, clock});
  tag.Init(1, InputRegisters, 0, FloatType, &control, "nolu", nullptr);
  tag.Refresh();  // opens the port: a one-off, kept out of the figures

  std::vector<double> runMedians;
  for (int run = 0; run < kRuns; ++run) {
    std::vector<double> walls;
    for (int i = 0; i < kTransactionsPerRun; ++i) {
      const auto start = SteadyTime::now();
      tag.Refresh();
      walls.push_back(std::chrono::duration<double>(SteadyTime::now() - start).count());
      if (tag.LastError != 0 || tag.Data() != Value(12.5f)) return {};
    }
    runMedians.push_back(Median(walls));
  }
  return runMedians;
}

}  // namespace

void PrintTransactionTimes() {
  for (int baud : {9600, 19200}) {
    const auto runs = ReadTimes(baud);
    const double floor = TransactionFloorSeconds(baud);
    const double wall = Median(runs);
    const double ratio = wall / floor;
    Print({"transaction wall time / floor (line time + 0.1 s), " + std::to_string(baud) + " baud, read of nolu",
           "<= " + Fixed(kTargetRatio, 2),
           runs.empty() ? "no good reply"
                        : Fixed(wall * 1e3, 1) + " / " + Fixed(floor * 1e3, 1) + " ms = " + Fixed(ratio, 3),
           "-", !runs.empty() && ratio <= kTargetRatio});
  }
}

}  // namespace dornvel::bench
