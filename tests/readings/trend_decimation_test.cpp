#include "readings/trend_decimation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace dornvel::testing {
namespace {

using namespace std::chrono;

const WallTime kStart = sys_days{2026y / 12 / 8};

double Ms(seconds at) { return duration<double, std::milli>((kStart + at).time_since_epoch()).count(); }

std::deque<TrendPoint> Points(const std::vector<std::optional<float>>& resistances) {
  std::deque<TrendPoint> points;
  for (std::size_t i = 0; i < resistances.size(); ++i) {
    points.push_back({kStart + seconds{i}, resistances[i], static_cast<int>(i) * 10});
  }
  return points;
}

TEST(TrendDecimation, with_room_for_every_point_draws_them_all_and_breaks_the_line_at_failed_ticks) {
  const auto points = Points({1.0f, 2.0f, std::nullopt, 3.0f, std::nullopt, std::nullopt, 4.0f, 5.0f});

  const auto segments = Decimate(points, TrendQuantity::Resistance, kStart, kStart + 7s, 1000);

  ASSERT_EQ(segments.size(), 3u);
  EXPECT_EQ(segments[0], (PlotSegment{{Ms(0s), 1}, {Ms(1s), 2}}));
  EXPECT_EQ(segments[1], (PlotSegment{{Ms(3s), 3}}));
  EXPECT_EQ(segments[2], (PlotSegment{{Ms(6s), 4}, {Ms(7s), 5}}));
}

TEST(TrendDecimation, the_switch_has_its_own_values_and_gaps) {
  std::deque<TrendPoint> points = Points({1.0f, std::nullopt, 3.0f});
  points[2].switchValue.reset();

  const auto segments = Decimate(points, TrendQuantity::Switch, kStart, kStart + 2s, 1000);

  ASSERT_EQ(segments.size(), 1u);
  EXPECT_EQ(segments[0], (PlotSegment{{Ms(0s), 0}, {Ms(1s), 10}}));
}

TEST(TrendDecimation, a_column_draws_its_lowest_and_highest_value_in_their_order_in_time) {
  const auto risingPeak = Points({5.0f, 9.0f, 7.0f, 1.0f, 6.0f});
  EXPECT_EQ(Decimate(risingPeak, TrendQuantity::Resistance, kStart, kStart + 4s, 1),
            (std::vector<PlotSegment>{{{Ms(1s), 9}, {Ms(3s), 1}}}));

  const auto flat = Points({2.0f, 2.0f});
  EXPECT_EQ(Decimate(flat, TrendQuantity::Resistance, kStart, kStart + 1s, 1),
            (std::vector<PlotSegment>{{{Ms(0s), 2}}}));
}

TEST(TrendDecimation, failed_ticks_break_the_line_only_between_columns) {
  const auto points = Points({1.0f, 2.0f, std::nullopt, 3.0f, std::nullopt, 4.0f});

  EXPECT_EQ(Decimate(points, TrendQuantity::Resistance, kStart, kStart + 5s, 2),
            (std::vector<PlotSegment>{{{Ms(0s), 1}, {Ms(1s), 2}}, {{Ms(3s), 3}, {Ms(5s), 4}}}));
  EXPECT_EQ(Decimate(points, TrendQuantity::Resistance, kStart, kStart + 5s, 1),
            (std::vector<PlotSegment>{{{Ms(0s), 1}, {Ms(5s), 4}}}));
}

TEST(TrendDecimation, a_day_of_alternating_failures_draws_at_most_one_break_and_two_points_a_column) {
  std::vector<std::optional<float>> resistances(86400);
  for (std::size_t i = 0; i < resistances.size(); i += 2) resistances[i] = static_cast<float>(i % 1000);
  const auto points = Points(resistances);
  const int columns = 800;

  const auto segments = Decimate(points, TrendQuantity::Resistance, kStart, kStart + 86399s, columns);

  std::size_t drawn = 0;
  for (const auto& segment : segments) drawn += segment.size();
  EXPECT_LE(segments.size(), static_cast<std::size_t>(columns));
  EXPECT_LE(drawn, 2u * columns);
  EXPECT_GT(segments.size(), 1u);
}

TEST(TrendDecimation, each_column_keeps_the_extremes_of_the_points_in_it) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> value(1.0f, 1e6f);
  std::bernoulli_distribution fails(0.01);
  std::vector<std::optional<float>> resistances(20000);
  for (auto& r : resistances) r = fails(random) ? std::nullopt : std::optional(value(random));
  const auto points = Points(resistances);
  const int columns = 300;
  const WallTime to = kStart + seconds{resistances.size() - 1};

  const auto segments = Decimate(points, TrendQuantity::Resistance, kStart, to, columns);

  const double span = Ms(seconds{resistances.size() - 1}) - Ms(0s);
  const auto columnOf = [&](double x) {
    return std::min(static_cast<int>((x - Ms(0s)) / span * columns), columns - 1);
  };
  std::vector<double> low(columns, 1e9), high(columns, -1), drawnLow(columns, 1e9), drawnHigh(columns, -1);
  for (const auto& point : points) {
    if (!point.resistanceKohm) continue;
    const int c = columnOf(Ms(seconds{(point.time - kStart) / 1s}));
    low[c] = std::min<double>(low[c], *point.resistanceKohm);
    high[c] = std::max<double>(high[c], *point.resistanceKohm);
  }
  for (const auto& segment : segments) {
    for (const auto& drawn : segment) {
      const int c = columnOf(drawn.x);
      drawnLow[c] = std::min(drawnLow[c], drawn.y);
      drawnHigh[c] = std::max(drawnHigh[c], drawn.y);
    }
  }
  EXPECT_EQ(drawnLow, low);
  EXPECT_EQ(drawnHigh, high);
}

}  // namespace
}  // namespace dornvel::testing
