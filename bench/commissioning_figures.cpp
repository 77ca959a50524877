// Commissioning one meter with the Qt serial control over a pseudo-terminal:
// dornvel-sim at slave 1 and 9600 baud with its jumper set is given slave id
// 12 and 19200 baud, from Next to its row:
//   dornvel-commissioning-figures
// Prints rows of the figures table (see figure_row.h): the whole sequence,
// then each step's share of it.
#include <QCoreApplication>
#include <chrono>
#include <string>

#include "bench/figure_row.h"
#include "harness/port_map.h"
#include "harness/simulator.h"
#include "harness/temp_dir.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_serial_control.h"
#include "platform/steady_clock.h"
#include "protocol/commissioning.h"
#include "protocol/line.h"

namespace dornvel::bench {
namespace {

constexpr double kTargetSeconds = 25;

const char* StepName(CommissioningStep step) {
  switch (step) {
    case CommissioningStep::Find: return "find";
    case CommissioningStep::LoneMeterCheck: return "lone-meter check";
    case CommissioningStep::WriteId: return "write id";
    case CommissioningStep::WriteRate: return "write rate";
    case CommissioningStep::Verify: return "verify";
    case CommissioningStep::Readings: return "readings";
  }
  return "?";
}

double Seconds(Duration d) { return std::chrono::duration<double>(d).count(); }

void PrintCommissioning() {
  testing::TempDir dir;
  testing::Simulator sim(dir, {"--jumper", "--resistance", "1500"});
  testing::ScopedPortMap ports({{1, sim.Path()}});
  SteadyClock clock;
  QtEventPump pump;
  QtSerialControl port;
  Line line(port);
  const auto hold = line.Take("bench");
  const auto start = clock.Now();
  const Commissioning result = Commission(*hold, {pump, clock}, {12, 19200}, {});
  const double seconds = Seconds(clock.Now() - start);
  const bool verified = result.outcome == CommissioningOutcome::Verified;
  Print({"commissioning: a meter at 1 / 9600 given 12 / 19200, from Next to its row",
         "<= " + Fixed(kTargetSeconds, 0) + " s", verified ? Fixed(seconds, 1) + " s" : "not verified", "-",
         verified && seconds <= kTargetSeconds});
  for (const StepTime& step : result.steps) {
    Print({std::string("commissioning step: ") + StepName(step.step), "-",
           Fixed(Seconds(step.took), 2) + " s (" + Fixed(100 * Seconds(step.took) / seconds, 0) + " %)", "-",
           std::nullopt});
  }
}

}  // namespace
}  // namespace dornvel::bench

int main(int argc, char** argv) {
  // The serial control and its event pump need a Qt application.
  QCoreApplication app(argc, argv);
  dornvel::bench::PrintCommissioning();
  return 0;
}
