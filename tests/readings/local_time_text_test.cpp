#include "readings/local_time_text.h"

#include <gtest/gtest.h>

#include <ctime>

#include "harness/scoped_env.h"

namespace dornvel::testing {
namespace {

using namespace std::chrono;

WallTime Utc(int y, unsigned m, unsigned d, int h, int min, int s) {
  return sys_days{year{y} / month{m} / day{d}} + hours{h} + minutes{min} + seconds{s};
}

TEST(LocalTimeText, gives_the_local_time_with_the_offset_of_its_zone_at_that_moment) {
  const struct {
    const char* zone;
    WallTime time;
    const char* expected;
  } cases[] = {
      {"CET-1CEST,M3.5.0,M10.5.0/3", Utc(2026, 12, 8, 22, 41, 7), "2026-12-08T23:41:07+01:00"},
      {"CET-1CEST,M3.5.0,M10.5.0/3", Utc(2026, 7, 1, 12, 0, 0), "2026-07-01T14:00:00+02:00"},
      {"UTC0", Utc(2026, 1, 1, 0, 0, 0), "2026-01-01T00:00:00+00:00"},
      {"EST5", Utc(2026, 1, 1, 3, 30, 59), "2025-12-31T22:30:59-05:00"},
      {"IST-5:30", Utc(2026, 3, 15, 20, 0, 0), "2026-03-16T01:30:00+05:30"},
      {"<-0330>3:30", Utc(2026, 3, 15, 2, 0, 0), "2026-03-14T22:30:00-03:30"},
  };
  for (const auto& c : cases) {
    ScopedEnv zone("TZ", c.zone);
    ::tzset();
    EXPECT_EQ(LocalTimeText(c.time), c.expected) << c.zone;
  }
  ::tzset();
}

TEST(LocalTimeText, drops_the_fraction_of_a_second) {
  ScopedEnv zone("TZ", "UTC0");
  ::tzset();
  EXPECT_EQ(LocalTimeText(Utc(2026, 5, 4, 3, 2, 1) + milliseconds(999)), "2026-05-04T03:02:01+00:00");
  ::tzset();
}

}  // namespace
}  // namespace dornvel::testing
