#pragma once

#include <chrono>
#include <vector>

#include "readings/reading.h"

namespace dornvel {

// A linear axis: from `low` to `high` in whole steps of `step`, which is 1, 2
// or 5 times a power of ten, so that every label is a short round number.
struct LinearScale {
  double low = 0;
  double high = 1;
  double step = 1;
  friend bool operator==(const LinearScale&, const LinearScale&) = default;
};

// The scale that holds [low, high] in at most `mostSteps` steps. With
// `wholeSteps` (a register of whole numbers) the step is at least 1, so no two
// labels read the same. A single value gets a step on either side. It depends
// on the range alone, so the same range always gives the same labels.
LinearScale NiceLinearScale(double low, double high, int mostSteps, bool wholeSteps);

// Whether `shown` still suits values from `low` to `high`: they lie within it
// and span at least a third of it (or, all alike, lie inside it).
bool FitsWell(const LinearScale& shown, double low, double high);

// A time axis from `from` to `to` in whole steps of `step` (1, 2, 5, 10, 15 or
// 30 seconds or minutes, 1, 2, 3, 6 or 12 hours, or a day) of local time.
struct TimeScale {
  WallTime from;
  WallTime to;
  std::chrono::seconds step{1};
  friend bool operator==(const TimeScale&, const TimeScale&) = default;
};

// The scale that holds [from, to] in at most `mostSteps` steps, its ends on
// whole steps of the local time `utcOffset` ahead of UTC. As the newest time
// grows tick by tick, the scale moves only when it passes a step, so the
// labels stay put in between.
TimeScale NiceTimeScale(WallTime from, WallTime to, int mostSteps, std::chrono::seconds utcOffset);

// A logarithmic axis over whole decades, 10^lowExponent to 10^highExponent,
// labelled at every `labelEvery`-th decade from the bottom.
struct DecadeScale {
  int lowExponent = 0;
  int highExponent = 1;
  int labelEvery = 1;
  friend bool operator==(const DecadeScale&, const DecadeScale&) = default;
};

// The decades that hold [low, high] (both above 0) with at most `mostLabels`
// labels: over a range wider than that, every second, fifth or tenth decade is
// labelled.
DecadeScale DecadesOf(double low, double high, int mostLabels);

// The exponents of the labelled decades, lowest first.
std::vector<int> LabelledDecades(const DecadeScale& scale);

}  // namespace dornvel
