#pragma once

#include <deque>
#include <vector>

#include "readings/trend_series.h"

namespace dornvel {

// A point as drawn: x in milliseconds since the epoch (what a date-time axis
// takes), y the value.
struct PlotPoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

// A stretch of the line without a gap.
using PlotSegment = std::vector<PlotPoint>;

enum class TrendQuantity { Resistance, Switch };

// Thins the points for a plot `columns` pixel columns wide that spans [from,
// to]; what is kept stays whole. Of the values that fall into one column the
// lowest and the highest are drawn, in their order in time, so the thinned line
// covers the pixels the full one would. Failed ticks break the line where the
// values before and after them fall into different columns; between values of
// one column the gap would be narrower than a pixel and draws no break. So the
// drawing holds at most two points and one break a column, however long the
// series and however often it fails.
std::vector<PlotSegment> Decimate(const std::deque<TrendPoint>& points, TrendQuantity quantity, WallTime from,
                                  WallTime to, int columns);

}  // namespace dornvel
