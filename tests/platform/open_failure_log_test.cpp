#include "platform/open_failure_log.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "harness/traffic_log.h"

namespace dornvel {
namespace {

using testing::Lines;

TEST(OpenFailureLog, a_failure_repeated_on_every_poll_is_reported_once) {
  std::ostringstream out;
  OpenFailureLog log(out);
  for (int poll = 0; poll < 5; ++poll) log.Failed("COM1 (/dev/ttyUSB0)", "No such file or directory");
  EXPECT_EQ(Lines(out.str()),
            std::vector<std::string>{"dornvel: cannot open COM1 (/dev/ttyUSB0): No such file or directory"});
}

TEST(OpenFailureLog, a_new_reason_or_a_failure_after_an_open_is_reported_again) {
  std::ostringstream out;
  OpenFailureLog log(out);
  log.Failed("COM1 (/dev/ttyUSB0)", "No such file or directory");
  log.Failed("COM1 (/dev/ttyUSB0)", "Permission denied");
  log.Failed("COM1 (/dev/ttyUSB0)", "Permission denied");
  log.Opened("COM1 (/dev/ttyUSB0)");
  log.Failed("COM1 (/dev/ttyUSB0)", "Permission denied");
  EXPECT_EQ(Lines(out.str()), (std::vector<std::string>{
                                  "dornvel: cannot open COM1 (/dev/ttyUSB0): No such file or directory",
                                  "dornvel: cannot open COM1 (/dev/ttyUSB0): Permission denied",
                                  "dornvel: cannot open COM1 (/dev/ttyUSB0): Permission denied",
                              }));
}

// The start-up probe tries every port in turn; each one's reason is said once.
TEST(OpenFailureLog, ports_tried_in_turn_are_each_reported_once) {
  std::ostringstream out;
  OpenFailureLog log(out);
  for (int round = 0; round < 3; ++round) {
    log.Failed("COM1 (/dev/ttyUSB0)", "No such file or directory");
    log.Failed("COM2 (/dev/ttyUSB1)", "No such file or directory");
  }
  EXPECT_EQ(Lines(out.str()).size(), 2u);
}

}  // namespace
}  // namespace dornvel
