#include "readings/trend_decimation.h"

#include <algorithm>

namespace dornvel {

namespace {

std::optional<double> ValueOf(const TrendPoint& point, TrendQuantity quantity) {
  if (quantity == TrendQuantity::Resistance) return PlottedResistance(point);
  if (!point.switchValue) return std::nullopt;
  return *point.switchValue;
}

double Milliseconds(WallTime time) {
  return std::chrono::duration<double, std::milli>(time.time_since_epoch()).count();
}

// The lowest and the highest value of the points of one column.
class ColumnExtremes {
 public:
  void Add(const PlotPoint& point) {
    if (empty_) {
      low_ = high_ = point;
      empty_ = false;
      return;
    }
    if (point.y < low_.y) low_ = point;
    if (point.y > high_.y) high_ = point;
  }

  // Appends them to `segment` in their order in time, and starts afresh.
  void MoveTo(PlotSegment& segment) {
    if (empty_) return;
    const bool lowFirst = low_.x <= high_.x;
    segment.push_back(lowFirst ? low_ : high_);
    if (!(low_ == high_)) segment.push_back(lowFirst ? high_ : low_);
    empty_ = true;
  }

 private:
  bool empty_ = true;
  PlotPoint low_;
  PlotPoint high_;
};

}  // namespace

std::vector<PlotSegment> Decimate(const std::deque<TrendPoint>& points, TrendQuantity quantity, WallTime from,
                                  WallTime to, int columns) {
  columns = std::max(columns, 1);
  const double start = Milliseconds(from);
  const double span = std::max(Milliseconds(to) - start, 1.0);

  std::vector<PlotSegment> segments;
  PlotSegment segment;
  ColumnExtremes column;
  int currentColumn = -1;  // the column of the last value
  bool failedSinceLastValue = false;
  const auto endSegment = [&] {
    column.MoveTo(segment);
    if (!segment.empty()) segments.push_back(std::move(segment));
    segment.clear();
  };

  for (const TrendPoint& point : points) {
    const auto y = ValueOf(point, quantity);
    if (!y) {
      failedSinceLastValue = true;
      continue;
    }
    const double x = Milliseconds(point.time);
    const int at = std::clamp(static_cast<int>((x - start) / span * columns), 0, columns - 1);
    if (at != currentColumn) {
      if (failedSinceLastValue) {
        endSegment();
      } else {
        column.MoveTo(segment);
      }
      currentColumn = at;
    }
    failedSinceLastValue = false;
    column.Add({x, *y});
  }
  endSegment();
  return segments;
}

}  // namespace dornvel
