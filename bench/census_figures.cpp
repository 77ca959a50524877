// The census of the line on the fake line of the test harness, which keeps
// line time on a fake clock (8N2 characters at 9600 and 19200 baud, a meter's
// turnaround), so the figures are the census's own timing without a
// machine's scheduling:
//   dornvel-census-figures
// Prints rows of the figures table (see figure_row.h): the whole census with
// nothing on the line; what each prompt meter found adds; what a pair of
// meters sharing an id and a meter answering 1 s late add.
#include <chrono>
#include <string>
#include <vector>

#include "bench/figure_row.h"
#include "harness/fakes.h"
#include "harness/meters_on_line.h"
#include "protocol/line.h"
#include "protocol/meter_census.h"

namespace dornvel::bench {
namespace {

using testing::SimulatedMeter;

constexpr double kSilentTargetSeconds = 30;
constexpr double kPerMeterTargetSeconds = 0.5;

struct TimedCensus {
  Census census;
  double seconds = 0;
};

TimedCensus CensusOf(std::vector<SimulatedMeter> meters) {
  testing::FakeClock clock;
  testing::FakeEventPump pump{clock};
  testing::ScriptedSerialControl port{clock, pump, nullptr};
  testing::MetersOnLine onLine(std::move(meters));
  onLine.Attach(port);
  Line line(port);
  const auto start = clock.Now();
  TimedCensus timed;
  timed.census = TakeCensus(line, {pump, clock}, {}, {});
  timed.seconds = std::chrono::duration<double>(clock.Now() - start).count();
  return timed;
}

// Meters at slave ids 10, 30, 50 ... at both rates, with their measurements.
std::vector<SimulatedMeter> PromptMeters(int count) {
  std::vector<SimulatedMeter> meters;
  for (int i = 0; i < count; ++i) {
    meters.push_back({.slave = 10 + 20 * (i / 2 % 12),
                      .baudRate = i % 2 == 0 ? 9600 : 19200,
                      .inputRegisters = {{0, 0}, {1, 0x4148}, {2, 1}}});
  }
  return meters;
}

void PrintAdded(const std::string& what, const TimedCensus& timed, double silent, std::size_t listed, int meters) {
  const double added = (timed.seconds - silent) / meters;
  Print({"census: " + what, "<= " + Fixed(kPerMeterTargetSeconds, 1) + " s a meter",
         Fixed(added * 1e3, 0) + " ms a meter (" + Fixed(timed.seconds, 1) + " s, " +
             std::to_string(timed.census.meters.size()) + " listed)",
         "-", timed.census.meters.size() == listed && added <= kPerMeterTargetSeconds});
}

}  // namespace
}  // namespace dornvel::bench

int main() {
  using namespace dornvel;
  using namespace dornvel::bench;
  using namespace std::chrono_literals;
  const TimedCensus silent = CensusOf({});
  Print({"census with nothing on the line: every slave id at 9600 and 19200 baud, line time",
         "<= " + Fixed(kSilentTargetSeconds, 0) + " s", Fixed(silent.seconds, 1) + " s", "-",
         silent.census.meters.empty() && silent.seconds <= kSilentTargetSeconds});
  for (const int count : {1, 8, 24}) {
    PrintAdded(std::to_string(count) + " prompt meter(s) with their values read", CensusOf(PromptMeters(count)),
               silent.seconds, static_cast<std::size_t>(count), count);
  }
  PrintAdded("two meters sharing slave id 7",
             CensusOf({{.slave = 7, .baudRate = 9600}, {.slave = 7, .baudRate = 9600, .turnaround = 6ms}}),
             silent.seconds, 1, 1);
  const TimedCensus late =
      CensusOf({{.slave = 100, .baudRate = 9600, .turnaround = 1s, .inputRegisters = {{0, 0}, {1, 0x4148}, {2, 1}}}});
  Print({"census: a meter answering 1 s late", "listed",
         Fixed(late.seconds, 1) + " s, " + Fixed(late.seconds - silent.seconds, 1) + " s more", "-",
         late.census.meters.size() == 1});
  return 0;
}
