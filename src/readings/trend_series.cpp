#include "readings/trend_series.h"

#include <cmath>

namespace dornvel {

void TrendSeries::Append(const Reading& reading) {
  points_.push_back({reading.time, reading.resistanceKohm, reading.switchValue});
  const std::uint64_t number = firstNumber_ + points_.size() - 1;
  if (auto plotted = PlottedResistance(points_.back())) {
    minima_.Push(number, static_cast<float>(*plotted));
    maxima_.Push(number, static_cast<float>(*plotted));
    if (*plotted > 0) positiveMinima_.Push(number, static_cast<float>(*plotted));
  }
  // A 16-bit register: every value is exact as a float.
  if (const auto value = points_.back().switchValue) {
    switchMinima_.Push(number, static_cast<float>(*value));
    switchMaxima_.Push(number, static_cast<float>(*value));
  }
  while (points_.size() > kMostPoints || points_.front().time < reading.time - kKeptSpan) DropOldest();
}

std::optional<float> TrendSeries::Last() const {
  if (points_.empty()) return std::nullopt;
  return points_.back().resistanceKohm;
}

void TrendSeries::DropOldest() {
  minima_.Drop(firstNumber_);
  maxima_.Drop(firstNumber_);
  positiveMinima_.Drop(firstNumber_);
  switchMinima_.Drop(firstNumber_);
  switchMaxima_.Drop(firstNumber_);
  points_.pop_front();
  ++firstNumber_;
}

std::optional<double> PlottedResistance(const TrendPoint& point) {
  if (!point.resistanceKohm || !std::isfinite(*point.resistanceKohm)) return std::nullopt;
  return *point.resistanceKohm;
}

}  // namespace dornvel
