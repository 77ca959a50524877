#include <gtest/gtest.h>

#include "fault_tally.h"

namespace dornvel::reliability {
namespace {

// Lines as dornvel-sim writes them, one of each kind of fault note.
constexpr const char* kTrafficLog = R"(    0.000246 EV serving slave 1 at 9600 baud on /dev/pts/1, jumper JP not set, seed 3
    0.586134 TX 01 04 02 00 00 B9 30  | request #1
    0.674101 EV request #2: fault silence, no reply
    3.222154 TX 02 04 02 00 00 FD CF  | request #3; fault foreign + bad-crc
    3.290211 EV request #4; fault delay: replying in 0.5 s
    3.790784 TX 01 04 02 00 00 B9 30  | request #4; fault delay
    3.870272 TX 01 04 02  | request #5; fault split (part 1 of 2)
    4.174064 TX 00 00 B9 30  | request #5; fault split (part 2 of 2)
    4.258048 TX 01 04 02  | request #16; fault short + delay
    4.800212 EV request #17: fault babble, no reply
    4.800227 TX C8 33 D0 E5 FE 1F 25 FF  | babble
    5.100000 EV request #18: fault hangup, no reply
    7.907286 EV dornvel-sim: requests=18 answered=14 ignored=0 faults: hangup=1 silence=1 babble=1
)";

TEST(FaultTally, each_request_gets_the_faults_its_log_lines_name_and_nothing_from_clean_lines) {
  const FaultsByRequest faults = ReadFaults(kTrafficLog);
  const FaultsByRequest expected = {
      {2, {"silence"}}, {3, {"foreign", "bad-crc"}}, {4, {"delay"}},    {5, {"split"}},
      {16, {"short", "delay"}}, {17, {"babble"}}, {18, {"hangup"}},
  };
  EXPECT_EQ(faults, expected);
}

TEST(FaultTally, kinds_are_counted_once_per_request_however_many_lines_name_them) {
  const std::map<std::string, long> expected = {{"bad-crc", 1}, {"babble", 1}, {"delay", 2}, {"foreign", 1},
                                                {"hangup", 1},  {"short", 1},  {"silence", 1}, {"split", 1}};
  EXPECT_EQ(CountByKind(ReadFaults(kTrafficLog)), expected);
}

TEST(FaultTally, a_spoiled_exchange_is_one_error_and_late_split_or_hung_up_ones_are_none) {
  struct Case {
    const char* what;
    FaultsByRequest faults;
    long errors;
  };
  const Case cases[] = {
      {"nothing injected", {}, 0},
      {"each spoiling kind alone",
       {{1, {"silence"}}, {2, {"babble"}}, {3, {"exception"}}, {4, {"foreign"}}, {5, {"bad-crc"}}, {6, {"short"}}},
       6},
      {"spoiling kinds combined on one request", {{7, {"exception", "foreign", "bad-crc", "short"}}}, 1},
      {"a spoiled reply that is also late and split", {{8, {"bad-crc", "delay", "split"}}}, 1},
      {"late, split and hung up only", {{9, {"delay"}}, {10, {"split"}}, {11, {"hangup"}}}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorsTheWindowMustCount(c.faults), c.errors) << c.what;
}

}  // namespace
}  // namespace dornvel::reliability
