#include "readings/axis_scale.h"

#include <algorithm>
#include <cmath>

namespace dornvel {

LinearScale NiceLinearScale(double low, double high, int mostSteps, bool wholeSteps) {
  if (!(high > low)) {
    const double half = wholeSteps ? 1.0 : std::max(std::abs(low) * 0.1, 1e-3);
    low -= half;
    high += half;
  }
  const double rough = (high - low) / std::max(mostSteps, 1);
  const double decade = std::pow(10.0, std::floor(std::log10(rough)));
  double step = 10 * decade;
  for (const double factor : {1.0, 2.0, 5.0}) {
    if (factor * decade >= rough) {
      step = factor * decade;
      break;
    }
  }
  if (wholeSteps) step = std::max(step, 1.0);
  const double first = std::floor(low / step) * step;
  const double last = std::ceil(high / step) * step;
  return {first, last > first ? last : first + step, step};
}

bool FitsWell(const LinearScale& shown, double low, double high) {
  if (low < shown.low || high > shown.high || !(shown.high > shown.low)) return false;
  return high == low ? low > shown.low && high < shown.high : (high - low) * 3 >= shown.high - shown.low;
}

TimeScale NiceTimeScale(WallTime from, WallTime to, int mostSteps, std::chrono::seconds utcOffset) {
  using namespace std::chrono;
  using namespace std::chrono_literals;
  static constexpr seconds kSteps[] = {1s,    2s,    5s,    10s, 15s, 30s, 1min, 2min, 5min,
                                       10min, 15min, 30min, 1h,  2h,  3h,  6h,   12h,  24h};
  const auto down = [](seconds time, seconds step) { return time - (time % step + step) % step; };
  const auto up = [&](seconds time, seconds step) { return down(time, step) == time ? time : down(time, step) + step; };
  // In local time, so that the labels fall on round hours of the clock on the wall.
  const seconds first = floor<seconds>(from.time_since_epoch()) + utcOffset;
  const seconds last = ceil<seconds>(to.time_since_epoch()) + utcOffset;
  seconds step = kSteps[std::size(kSteps) - 1];
  for (const seconds candidate : kSteps) {
    if ((up(last, candidate) - down(first, candidate)) / candidate <= std::max(mostSteps, 1)) {
      step = candidate;
      break;
    }
  }
  const seconds low = down(first, step);
  const seconds high = std::max(up(last, step), low + step);
  return {WallTime(low - utcOffset), WallTime(high - utcOffset), step};
}

DecadeScale DecadesOf(double low, double high, int mostLabels) {
  // A decade's own value (0.001) may come out a hair beyond its exponent.
  constexpr double kSlack = 1e-9;
  const int lowExponent = static_cast<int>(std::floor(std::log10(low) + kSlack));
  int highExponent = static_cast<int>(std::ceil(std::log10(high) - kSlack));
  if (highExponent <= lowExponent) highExponent = lowExponent + 1;
  const int decades = highExponent - lowExponent + 1;
  int every = 1;
  for (const int candidate : {1, 2, 5, 10}) {
    every = candidate;
    if ((decades + candidate - 1) / candidate <= std::max(mostLabels, 1)) break;
  }
  return {lowExponent, highExponent, every};
}

std::vector<int> LabelledDecades(const DecadeScale& scale) {
  std::vector<int> exponents;
  for (int exponent = scale.lowExponent; exponent <= scale.highExponent; exponent += scale.labelEvery) {
    exponents.push_back(exponent);
  }
  return exponents;
}

}  // namespace dornvel
