#include "readings/axis_scale.h"

#include <gtest/gtest.h>

#include <string>

namespace dornvel::testing {
namespace {

using namespace std::chrono;

TEST(AxisScale, a_linear_range_gets_round_steps_and_a_register_of_whole_numbers_no_repeated_label) {
  struct Case {
    double low, high;
    bool wholeSteps;
    LinearScale expected;
  };
  const Case cases[] = {
      {4, 6, true, {4, 6, 1}},  // the switch stepping 6, 5, 4: one label each
      {0, 3, true, {0, 3, 1}},
      {5, 5, true, {4, 6, 1}},  // a single value, a step either side
      {0, 1000, true, {0, 1000, 200}},
      {1432.7, 1561.2, false, {1400, 1600, 50}},  // a drifting resistance
      {0.2, 0.9, false, {0.2, 1.0, 0.2}},
      {12.5, 12.5, false, {11, 14, 0.5}},
      {-3, 2, false, {-3, 2, 1}},
  };
  for (const Case& c : cases) {
    const LinearScale scale = NiceLinearScale(c.low, c.high, 6, c.wholeSteps);
    SCOPED_TRACE(std::to_string(c.low) + ".." + std::to_string(c.high));
    EXPECT_NEAR(scale.low, c.expected.low, 1e-9);
    EXPECT_NEAR(scale.high, c.expected.high, 1e-9);
    EXPECT_NEAR(scale.step, c.expected.step, 1e-9);
  }
}

TEST(AxisScale, a_scale_is_kept_while_the_values_lie_in_it_and_span_a_third_of_it) {
  const LinearScale shown{1400, 1600, 50};
  const struct {
    double low, high;
    bool fits;
  } cases[] = {
      {1450, 1550, true},  {1500, 1500, true},  {1500, 1560, false},  // a third is 66.7
      {1390, 1500, false}, {1450, 1610, false}, {1400, 1600, true},
  };
  for (const auto& c : cases) EXPECT_EQ(FitsWell(shown, c.low, c.high), c.fits) << c.low << ".." << c.high;
}

TEST(AxisScale, a_logarithmic_range_gets_whole_decades_with_at_most_the_labels_asked_for) {
  struct Case {
    double low, high;
    DecadeScale expected;
    std::vector<int> labelled;
  };
  const Case cases[] = {
      {250, 2500, {2, 4, 1}, {2, 3, 4}},
      {1000, 1000, {3, 4, 1}, {3, 4}},
      {0.001, 1e8, {-3, 8, 2}, {-3, -1, 1, 3, 5, 7}},  // a short circuit and 100 GOhm
      {1e-30, 1e30, {-30, 30, 10}, {-30, -20, -10, 0, 10, 20, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.low) + ".." + std::to_string(c.high));
    const DecadeScale scale = DecadesOf(c.low, c.high, 7);
    EXPECT_EQ(scale, c.expected);
    EXPECT_EQ(LabelledDecades(scale), c.labelled);
  }
}

TEST(AxisScale, a_time_range_ends_on_round_local_times_and_stays_put_between_steps) {
  const WallTime midnight = sys_days{2026y / 12 / 8};
  struct Case {
    seconds from, to;
    seconds utcOffset;
    seconds expectedFrom, expectedTo, expectedStep;
  };
  const Case cases[] = {
      {8h + 7s, 8h + 1min + 7s, 0s, 8h, 8h + 1min + 15s, 15s},
      {8h + 7s, 8h + 1min + 9s, 0s, 8h, 8h + 1min + 15s, 15s},  // two ticks later: the same
      {8h + 7s, 9h + 40min, 0s, 8h, 10h, 30min},
      // A day in a zone an hour ahead of UTC: steps of 6 h from local midnight.
      {7h + 30min, 7h + 30min + 24h, 1h, 5h, 35h, 6h},
  };
  for (const Case& c : cases) {
    const TimeScale scale = NiceTimeScale(midnight + c.from, midnight + c.to, 6, c.utcOffset);
    EXPECT_EQ(scale.from, midnight + c.expectedFrom);
    EXPECT_EQ(scale.to, midnight + c.expectedTo);
    EXPECT_EQ(scale.step, c.expectedStep);
  }
}

}  // namespace
}  // namespace dornvel::testing
