#include <gtest/gtest.h>

#include "program_rig.h"

namespace dornvel::e2e {
namespace {

// Requests 6 and 8 are the switch reads of the second and third ticks: the last
// exchange of their tick, so whatever a fault leaves on the line meets the next
// tick's first exchange and no other request of the same tick.
constexpr char kFaultedRequests[] = "at:6,8";

struct FaultCase {
  const char* name;
  std::vector<std::string> options;  // the fault's option comes first
  std::string message;               // panel 4 after each faulted tick
  std::string errorCount;            // panel 3 once polling is good again
  std::string messageAfterwards;     // panel 4 after the next, fault-free tick
};

std::ostream& operator<<(std::ostream& out, const FaultCase& c) { return out << c.name; }

class ProgramUnderFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ProgramUnderFaults, shows_the_outcome_counts_each_fault_once_and_keeps_polling) {
  const FaultCase& c = GetParam();
  TempDir dir;
  std::vector<std::string> options = {"--link", (dir / "com1").string(), "--resistance", "12.5", "--switch", "3",
                                      "--seed", "1", c.options[0], kFaultedRequests};
  options.insert(options.end(), c.options.begin() + 1, c.options.end());
  Simulator sim(dir, options);
  ASSERT_FALSE(sim.path().empty()) << sim.errors();
  {
    WindowOnSimulator program((dir / "com1").string());
    ASSERT_TRUE(program.RunTicks(4)) << sim.log();
    const auto& views = program.views();
    EXPECT_EQ(views[0].errorCount, "") << views[0].message;
    for (int faulted : {1, 2}) {
      EXPECT_EQ(views[faulted].message, c.message) << "tick " << faulted + 1;
    }
    EXPECT_EQ(views[3].errorCount, c.errorCount);
    EXPECT_EQ(views[3].message, c.messageAfterwards);
    EXPECT_EQ(views[3].nolu, "13");
    EXPECT_EQ(views[3].switchValue, "03") << "polling goes on with good values";
  }
  ASSERT_EQ(sim.stop(), 0);
  auto counters = sim.counters();
  const std::string kind = c.options[0].substr(2);
  EXPECT_EQ(counters[kind], 2) << sim.log();
  EXPECT_EQ(counters["requests"], 10) << "every request of the four ticks reached the device\n" << sim.log();
}

const std::string kNotEmpty = "CommPort - не пуст!!!";
const std::string kSwitchBadCrc = "Ошибка CRC приема switch";

INSTANTIATE_TEST_SUITE_P(
    EachFault, ProgramUnderFaults,
    ::testing::Values(
        FaultCase{"silence",
                  {"--silence"},
                  "MBdata/GetData: Timout при получении пакета switch",
                  "2",
                  "MBdata/GetData: Timout при получении пакета switch"},
        FaultCase{"bad_crc", {"--bad-crc"}, kSwitchBadCrc, "2", kSwitchBadCrc},
        FaultCase{"foreign", {"--foreign"}, "Не мой адрес: (switch) - 2", "2", "Не мой адрес: (switch) - 2"},
        FaultCase{"exception",
                  {"--exception", "--exception-code", "6"},
                  "Ошибка: (switch) - Контроллер выполняет ранее запрошенное действие",
                  "2",
                  "Ошибка: (switch) - Контроллер выполняет ранее запрошенное действие"},
        // Under 0.1 s of silence inside a reply the program keeps collecting.
        FaultCase{"split_with_a_short_gap", {"--split", "--split-gap", "0.03"}, "", "", ""},
        // Over 0.1 s the first part is taken as the reply, and the rest is
        // dropped as stale input by the next exchange.
        FaultCase{"split_with_a_long_gap", {"--split", "--split-gap", "0.3"}, kSwitchBadCrc, "2", kNotEmpty},
        FaultCase{"delay_under_the_reply_timeout", {"--delay", "--delay-time", "0.5"}, "", "", ""},
        // Half of a reply no longer matches its CRC; a single byte is too short
        // to be checked at all: it answers nothing.
        FaultCase{"short_reply", {"--short"}, kSwitchBadCrc, "2", kSwitchBadCrc},
        FaultCase{"one_byte_reply", {"--short", "--short-length", "1"}, "Ответ не соответствует запросу: (switch)", "2",
                  "Ответ не соответствует запросу: (switch)"},
        // Noise instead of the reply: collected until it stops, then refused.
        FaultCase{"babbling", {"--babble", "--babble-time", "0.3"}, kSwitchBadCrc, "2", kSwitchBadCrc}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dornvel::e2e
