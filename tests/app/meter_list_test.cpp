#include "app/meter_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace dornvel {
namespace {

TEST(MeterList, a_list_names_ids_and_ranges_at_9600_unless_a_rate_follows_and_bad_ones_are_refused) {
  const struct {
    const char* list;
    std::vector<MeterAddress> meters;  // empty: refused
    const char* why = "";              // part of the refusal
  } cases[] = {
      {"3,7,41,200@19200,10-12@9600",
       {{3, 9600}, {7, 9600}, {41, 9600}, {200, 19200}, {10, 9600}, {11, 9600}, {12, 9600}}},
      {"1", {{1, 9600}}},
      {"247@19200", {{247, 19200}}},
      {"5-5", {{5, 9600}}},
      {"7,7@19200", {{7, 9600}, {7, 19200}}},
      {"", {}, "empty"},
      {"3,,4", {}, "empty item"},
      {"0", {}, "1 to 247"},
      {"248", {}, "1 to 247"},
      {"x", {}, "1 to 247"},
      {"+5", {}, "1 to 247"},
      {" 5", {}, "1 to 247"},
      {"3@4800", {}, "9600 or 19200"},
      {"3@", {}, "9600 or 19200"},
      {"3@9600@19200", {}, "more than one rate"},
      {"20-10", {}, "backwards"},
      {"1-2-3", {}, "1 to 247"},
      {"4,2-5", {}, "listed twice"},
  };
  for (const auto& c : cases) {
    const MeterList parsed = ParseMeterList(QString::fromUtf8(c.list));
    EXPECT_EQ(parsed.meters, c.meters) << c.list;
    EXPECT_EQ(parsed.refusal.isEmpty(), !c.meters.empty()) << c.list;
    EXPECT_TRUE(parsed.refusal.contains(QString::fromUtf8(c.why))) << c.list << ": " << parsed.refusal.toStdString();
  }
}

}  // namespace
}  // namespace dornvel
