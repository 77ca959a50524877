#include "readings/trend_series.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace dornvel::testing {
namespace {

using namespace std::chrono;

const WallTime kStart = sys_days{2026y / 12 / 8} + 8h;

Reading Tick(seconds at, std::optional<float> resistance, std::optional<int> switchValue = 0) {
  Reading reading;
  reading.time = kStart + at;
  reading.resistanceKohm = resistance;
  reading.switchValue = switchValue;
  return reading;
}

TEST(TrendSeries, keeps_every_tick_with_its_gaps_and_tells_minimum_maximum_and_last) {
  TrendSeries series;
  EXPECT_FALSE(series.Minimum());
  EXPECT_FALSE(series.Last());

  const std::optional<float> resistances[] = {10.0f, std::nullopt, 5.0f, 20.0f, std::nullopt};
  for (int i = 0; i < 5; ++i) series.Append(Tick(seconds{i}, resistances[i], i == 1 ? std::nullopt : std::optional(i)));

  ASSERT_EQ(series.Points().size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(series.Points()[i].time, kStart + seconds{i});
    EXPECT_EQ(series.Points()[i].resistanceKohm, resistances[i]);
  }
  EXPECT_FALSE(series.Points()[1].switchValue);
  EXPECT_EQ(series.Points()[4].switchValue, 4);
  EXPECT_EQ(series.SwitchMinimum(), 0.0f);
  EXPECT_EQ(series.SwitchMaximum(), 4.0f);
  EXPECT_EQ(series.Minimum(), 5.0f);
  EXPECT_EQ(series.Maximum(), 20.0f);
  EXPECT_FALSE(series.Last()) << "the last tick failed";

  series.Append(Tick(5s, 7.0f));
  EXPECT_EQ(series.Last(), 7.0f);
}

TEST(TrendSeries, values_that_are_no_number_are_left_out_of_minimum_and_maximum) {
  TrendSeries series;
  series.Append(Tick(0s, std::numeric_limits<float>::quiet_NaN()));
  series.Append(Tick(1s, 3.0f));
  series.Append(Tick(2s, std::numeric_limits<float>::infinity()));
  series.Append(Tick(3s, -std::numeric_limits<float>::infinity()));

  EXPECT_EQ(series.Minimum(), 3.0f);
  EXPECT_EQ(series.Maximum(), 3.0f);
}

TEST(TrendSeries, keeps_at_most_a_day_of_one_hertz_ticks) {
  TrendSeries series;
  // The first hundred ticks hold the extremes; they are the ones dropped.
  for (int i = 0; i < 100; ++i) series.Append(Tick(seconds{i}, i % 2 ? 1e9f : 0.5f));
  for (int i = 100; i < 86400 + 100; ++i) series.Append(Tick(seconds{i}, 100.0f + static_cast<float>(i % 7)));

  EXPECT_EQ(series.Points().size(), 86400u);
  EXPECT_EQ(series.Points().front().time, kStart + 100s);
  EXPECT_EQ(series.Points().back().time, kStart + seconds{86400 + 99});
  EXPECT_EQ(series.Minimum(), 100.0f);
  EXPECT_EQ(series.Maximum(), 106.0f);
}

TEST(TrendSeries, drops_points_more_than_a_day_older_than_the_newest) {
  TrendSeries series;
  series.Append(Tick(0s, 1.0f));
  series.Append(Tick(1s, 2.0f));
  series.Append(Tick(24h + 1s, 3.0f));

  ASSERT_EQ(series.Points().size(), 2u);
  EXPECT_EQ(series.Points().front().resistanceKohm, 2.0f);
  EXPECT_EQ(series.Minimum(), 2.0f);
}

TEST(TrendSeries, stays_bounded_when_the_clock_is_set_back) {
  TrendSeries series;
  for (int i = 0; i < 86400 + 10; ++i) series.Append(Tick(seconds{-i}, 1.0f));
  EXPECT_EQ(series.Points().size(), 86400u);
}

TEST(TrendSeries, minimum_and_maximum_match_a_full_scan_of_what_is_kept) {
  std::mt19937 random(12);
  std::uniform_real_distribution<float> value(0.0f, 1000.0f);
  std::bernoulli_distribution fails(0.2);
  TrendSeries series;
  // An hour between ticks: a day holds 25 of them.
  for (int i = 0; i < 2000; ++i) {
    series.Append(Tick(hours{i}, fails(random) ? std::nullopt : std::optional(value(random))));
    std::vector<float> kept;
    for (const auto& point : series.Points()) {
      if (point.resistanceKohm) kept.push_back(*point.resistanceKohm);
    }
    ASSERT_LE(series.Points().size(), 25u);
    if (kept.empty()) {
      ASSERT_FALSE(series.Minimum());
      continue;
    }
    ASSERT_EQ(series.Minimum(), *std::min_element(kept.begin(), kept.end())) << "tick " << i;
    ASSERT_EQ(series.Maximum(), *std::max_element(kept.begin(), kept.end())) << "tick " << i;
  }
}

}  // namespace
}  // namespace dornvel::testing
