#include "ui/port_entry.h"

#include <gtest/gtest.h>

namespace dornvel {
namespace {

TEST(PortEntry, reads_the_whole_number_after_com_else_a_last_digit) {
  struct Case {
    const char* entry;
    std::optional<double> number;
  } cases[] = {
      {"Com1", 1},        {"Com10", 10},           {"Com16", 16},
      {"Com0", 0},        {"Com-3", -3},           {"Com2.5", 2.5},
      {"Combo1", 1},      {"Port 5", 5},           {"5", 5},
      {"12", 2},          {"Com", std::nullopt},   {"xyz", std::nullopt},
      {"", std::nullopt}, {"Com5x", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    EXPECT_EQ(PortNumberOf(QString::fromUtf8(c.entry)), c.number);
  }
}

}  // namespace
}  // namespace dornvel
