// The meter search with the Qt serial control over a pseudo-terminal, at the
// line rates 9600 and 19200 baud:
//   dornvel-search-figures
// Prints rows of the figures table (see figure_row.h): the whole search with
// nothing on the line; the search for a meter at slave id 247 and 19200 baud
// started from slave 1 at 9600, which finds it with the last of the 494
// probes; and for slow meters, which answer 0.15 s and 1 s late.
#include <QCoreApplication>
#include <chrono>
#include <string>
#include <vector>

#include "bench/figure_row.h"
#include "harness/port_map.h"
#include "harness/pseudo_terminal.h"
#include "harness/simulator.h"
#include "harness/temp_dir.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_serial_control.h"
#include "platform/steady_clock.h"
#include "protocol/line.h"
#include "protocol/meter_search.h"

namespace dornvel::bench {
namespace {

constexpr double kTargetSeconds = 60;

struct TimedSearch {
  SearchResult result;
  double seconds = 0;
  int probes = 0;
};

// Searches from slave 1 at 9600 baud on `device` as Com1.
TimedSearch Search(const std::string& device) {
  testing::ScopedPortMap ports({{1, device}});
  SteadyClock clock;
  QtEventPump pump;
  QtSerialControl port;
  port.SetSettings("9600,N,8,2");
  port.SetPortOpen(true);
  Line line(port);
  TimedSearch timed;
  SearchHooks hooks;
  hooks.onProbe = [&timed](const SearchProgress& progress) { timed.probes = progress.number; };
  const auto start = clock.Now();
  timed.result = SearchForMeter(line, {pump, clock}, {1, 9600}, hooks);
  timed.seconds = std::chrono::duration<double>(clock.Now() - start).count();
  return timed;
}

std::string Measured(const TimedSearch& timed) {
  return Fixed(timed.seconds, 1) + " s, " + std::to_string(timed.probes) + " probes, " +
         Fixed(timed.seconds * 1e3 / timed.probes, 1) + " ms a probe";
}

void PrintNothingOnTheLine() {
  testing::PseudoTerminal line;
  const TimedSearch timed = Search(line.SlavePath());
  Print({"meter search with nothing on the line: every slave id at 9600 and 19200 baud",
         "<= " + Fixed(kTargetSeconds, 0) + " s", Measured(timed), "-",
         timed.result.outcome == SearchOutcome::NothingFound && timed.seconds <= kTargetSeconds});
}

void PrintMeterFound(const std::string& what, const MeterAddress& meter, std::vector<std::string> simArguments) {
  testing::TempDir dir;
  simArguments.insert(simArguments.end(),
                      {"--slave", std::to_string(meter.slave), "--baud", std::to_string(meter.baudRate)});
  testing::Simulator sim(dir, simArguments);
  const TimedSearch timed = Search(sim.Path());
  const bool found = timed.result.meter == meter;
  Print({"meter search: " + what + ", searched from slave 1 at 9600", "<= " + Fixed(kTargetSeconds, 0) + " s",
         found ? Measured(timed) : "not found", "-", found && timed.seconds <= kTargetSeconds});
}

}  // namespace
}  // namespace dornvel::bench

int main(int argc, char** argv) {
  // The serial control and its event pump need a Qt application.
  QCoreApplication app(argc, argv);
  dornvel::bench::PrintNothingOnTheLine();
  using dornvel::MeterAddress;
  dornvel::bench::PrintMeterFound("a meter at slave id 247 and 19200 baud", MeterAddress{247, 19200}, {});
  for (const char* late : {"0.15", "1.0"}) {
    dornvel::bench::PrintMeterFound(
        std::string("a meter at slave id 100 and 9600 baud that answers ") + late + " s late", MeterAddress{100, 9600},
        {"--delay", "every:1", "--delay-time", late});
  }
  return 0;
}
