#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "readings/reading.h"
#include "readings/sliding_extreme.h"

namespace dornvel {

// One tick as the trend plot needs it; a failed exchange leaves a gap.
struct TrendPoint {
  WallTime time;
  std::optional<float> resistanceKohm;
  std::optional<int> switchValue;
};

// The readings of this session for the trend plot, in the order of the ticks.
// Memory stays bounded: points more than a day older than the newest one are
// dropped, and never more than a day of 1 Hz ticks is kept, even when the
// system clock is set back.
class TrendSeries {
 public:
  static constexpr std::chrono::hours kKeptSpan{24};
  static constexpr std::size_t kMostPoints = 24 * 60 * 60;

  void Append(const Reading& reading);

  const std::deque<TrendPoint>& Points() const { return points_; }
  // Over the points kept; resistances that are no finite number (a meter may
  // send NaN or infinity) count as gaps here and in the plot.
  std::optional<float> Minimum() const { return minima_.Value(); }
  std::optional<float> Maximum() const { return maxima_.Value(); }
  // The lowest above zero, where a logarithmic scale starts.
  std::optional<float> PositiveMinimum() const { return positiveMinima_.Value(); }
  // The same for the switch value: with the two above, the ranges of the plot's
  // axes at no cost per tick, whatever the length of the series.
  std::optional<float> SwitchMinimum() const { return switchMinima_.Value(); }
  std::optional<float> SwitchMaximum() const { return switchMaxima_.Value(); }
  // The resistance of the last tick; empty when that tick failed.
  std::optional<float> Last() const;

 private:
  void DropOldest();

  std::deque<TrendPoint> points_;
  // The number of points_.front() since the session began.
  std::uint64_t firstNumber_ = 0;
  SlidingExtreme<std::less<>> minima_;
  SlidingExtreme<std::greater<>> maxima_;
  SlidingExtreme<std::less<>> positiveMinima_;
  SlidingExtreme<std::less<>> switchMinima_;
  SlidingExtreme<std::greater<>> switchMaxima_;
};

// The resistance of a point as plotted: empty for a failed tick and for a value
// that is no finite number.
std::optional<double> PlottedResistance(const TrendPoint& point);

}  // namespace dornvel
