// The trend window with a full day of 1 Hz readings, fed as fast as it takes
// them rather than in real time, then the program polling with it open:
//   dornvel-trend-figures [PICTURE.png]
//   dornvel-trend-figures polling        the polling rows only
// Prints rows of the figures table (see figure_row.h): the resident memory the
// day adds, the time to redraw it (thinning, the chart's update and a paint)
// on a linear and on a logarithmic axis, and the program's CPU per tick and
// poll period with the trend closed and open. PICTURE.png, if named, receives
// the window's plot.
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "bench/figure_row.h"
#include "bench/process_cpu.h"
#include "bench/trend_polling.h"
#include "harness/resident_memory.h"
#include "ui/trend_window.h"

namespace dornvel::bench {
namespace {

using testing::ResidentKiB;
using SteadyTime = std::chrono::steady_clock;

constexpr int kDay = 24 * 60 * 60;
constexpr int kRedraws = 21;
constexpr int kTicks = 300;
constexpr double kTickTargetMs = 1;
constexpr double kRedrawTargetMs = 100;
constexpr double kMemoryTargetMiB = 32;

// A day of an insulation test: a resistance that drifts over decades with
// noise, one failed exchange in a hundred, the switch stepping now and then.
std::vector<Reading> DayOfReadings(WallTime start) {
  std::mt19937 random(2026);
  std::normal_distribution<float> noise(0.0f, 0.02f);
  std::bernoulli_distribution fails(0.01);
  std::vector<Reading> day(kDay);
  for (int i = 0; i < kDay; ++i) {
    Reading& reading = day[static_cast<std::size_t>(i)];
    reading.time = start + std::chrono::seconds(i);
    const float decades = 2.0f + 2.0f * std::sin(static_cast<float>(i) / 9000.0f) + noise(random);
    if (!fails(random)) reading.resistanceKohm = std::pow(10.0f, decades);
    reading.switchValue = (i / 3600) % 4;
    reading.errorCount = std::to_string(i / 100);
  }
  return day;
}

// Milliseconds from a new tick to its picture: the window thins the day, fills
// its lines and paints them.
double RedrawMs(TrendWindow& window, QChartView& view, Reading tick) {
  std::vector<double> times;
  for (int i = 0; i < kRedraws; ++i) {
    tick.time += std::chrono::seconds(1);
    const auto start = SteadyTime::now();
    window.Append(tick);
    window.DrawNow();
    view.grab();
    times.push_back(std::chrono::duration<double, std::milli>(SteadyTime::now() - start).count());
  }
  return Median(times);
}

// CPU milliseconds of this thread per tick, over a run of ticks as they come
// with the day shown: the window draws the lines anew only when a tick can
// change them.
double TickCpuMs(TrendWindow& window, Reading tick) {
  const double start = ThreadCpuSeconds();
  for (int i = 0; i < kTicks; ++i) {
    tick.time += std::chrono::seconds(1);
    tick.resistanceKohm = 1000.0f + static_cast<float>(i % 7);
    window.Append(tick);
    QCoreApplication::processEvents();
  }
  return (ThreadCpuSeconds() - start) * 1e3 / kTicks;
}

int Run(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "polling") {
    PrintTrendPollingFigures();
    return 0;
  }
  const WallTime start = std::chrono::system_clock::now() - std::chrono::hours(24);
  const std::vector<Reading> day = DayOfReadings(start);

  {
    // A new session: few points, so every tick draws the lines anew.
    TrendWindow fresh;
    fresh.resize(1200, 600);
    fresh.show();
    QCoreApplication::processEvents();
    Reading first = day.front();
    const double freshMs = TickCpuMs(fresh, first);
    Print({"trend window: CPU a tick costs it in a new session (the lines drawn anew every tick), mean of " +
               std::to_string(kTicks) + " ticks",
           "<= " + Fixed(kTickTargetMs, 0) + " ms", Fixed(freshMs, 3) + " ms", "-", freshMs <= kTickTargetMs});
  }

  TrendWindow window;
  window.resize(1200, 600);
  window.show();
  QCoreApplication::processEvents();
  auto& view = *window.findChild<QChartView*>(QStringLiteral("trendChart"));
  const long before = ResidentKiB();
  const auto feedStart = SteadyTime::now();
  for (const Reading& reading : day) window.Append(reading);
  const double feedSeconds = std::chrono::duration<double>(SteadyTime::now() - feedStart).count();
  QCoreApplication::processEvents();
  view.grab();
  const long after = ResidentKiB();

  const double addedMiB = static_cast<double>(after - before) / 1024;
  Print({"trend window: resident memory a day of 1 Hz readings adds (" +
             std::to_string(window.Series().Points().size()) + " points kept)",
         "<= " + Fixed(kMemoryTargetMiB, 0) + " MiB",
         Fixed(addedMiB, 1) + " MiB (" + std::to_string(before) + " -> " + std::to_string(after) + " KiB), fed in " +
             Fixed(feedSeconds, 2) + " s",
         "-", addedMiB <= kMemoryTargetMiB});

  Reading next = day.back();
  const double tickMs = TickCpuMs(window, next);
  next.time += std::chrono::seconds(kTicks);
  Print({"trend window: CPU a tick costs it with a full day shown, mean of " + std::to_string(kTicks) + " ticks",
         "<= " + Fixed(kTickTargetMs, 0) + " ms", Fixed(tickMs, 3) + " ms", "-", tickMs <= kTickTargetMs});
  const double linearMs = RedrawMs(window, view, next);
  next.time += std::chrono::seconds(kRedraws);
  window.findChild<QCheckBox*>(QStringLiteral("logarithmicAxis"))->setChecked(true);
  // The chart lays its axes out anew in the event loop, as after a click.
  QCoreApplication::processEvents();
  const double logarithmicMs = RedrawMs(window, view, next);
  const std::string width = std::to_string(static_cast<int>(view.chart()->plotArea().width()));
  Print({"trend window: redraw with a full day, plot " + width + " px wide, median of " + std::to_string(kRedraws) +
             " (linear axis)",
         "<= " + Fixed(kRedrawTargetMs, 0) + " ms", Fixed(linearMs, 1) + " ms", "-", linearMs <= kRedrawTargetMs});
  Print({"trend window: the same on the logarithmic axis", "<= " + Fixed(kRedrawTargetMs, 0) + " ms",
         Fixed(logarithmicMs, 1) + " ms", "-", logarithmicMs <= kRedrawTargetMs});

  if (argc > 1 && !window.SaveAsPng(QString::fromLocal8Bit(argv[1]))) return 1;
  PrintTrendPollingFigures();
  return 0;
}

}  // namespace
}  // namespace dornvel::bench

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return dornvel::bench::Run(argc, argv);
}
