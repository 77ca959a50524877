#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "fault_tally.h"
#include "meter_window.h"

namespace dornvel::reliability {
namespace {

using namespace std::chrono_literals;

// The first tick reads all four tags (requests 1-4); from then on a tick reads
// nolu and switch, so request 5 is nolu of the second tick and request 8 switch
// of the third. Each fault is injected twice, then the line is clean.
constexpr std::uint64_t kLastFaultedRequest = 8;
// Two clean ticks after the faults.
constexpr std::uint64_t kCleanRequests = 4;

struct HostileLine {
  const char* name;
  std::vector<std::string> faults;
  // The fault's counter in the simulator's summary.
  const char* kind;
  // What panel 3 must count for each injected fault; why, row by row.
  long errorsPerFault;
  // Panel 4 once polling has resumed: the last fault's message, kept until
  // another message replaces it (a good reply does not clear it).
  const char* lastMessage;
  // What standard error must say, if anything.
  const char* stderrSays = "";
};

const HostileLine kHostileLines[] = {
    // No byte within the 2 s first-byte wait: a time-out.
    {"silence", {"--silence", "at:5,8"}, "silence", 1, "MBdata/GetData: Timout при получении пакета switch"},
    // Half a second late is within the 2 s first-byte wait: a good reply.
    {"delay_under_two_seconds", {"--delay", "at:5,8", "--delay-time", "0.5"}, "delay", 0, ""},
    {"bad_crc", {"--bad-crc", "at:5,8"}, "bad-crc", 1, "Ошибка CRC приема switch"},
    {"foreign_slave", {"--foreign", "at:5,8"}, "foreign", 1, "Не мой адрес: (switch) - 2"},
    {"exception", {"--exception", "at:5,8"}, "exception", 1,
     "Ошибка: (switch) - Фатальная ошибка при выполнении запрошенного действия"},
    // Parts 30 ms apart are closer than the 0.1 s silence that ends a reply:
    // one whole reply.
    {"split_within_the_silence", {"--split", "at:5,8", "--split-gap", "0.03"}, "split", 0, ""},
    // Parts 0.3 s apart: the first part alone fails the CRC. The faults hit
    // switch, the last read of its tick, so the rest arrives long before the
    // next tick, which drops it as stale input; it is counted no second time.
    {"split_across_the_silence", {"--split", "at:6,8", "--split-gap", "0.3"}, "split", 1, "CommPort - не пуст!!!"},
    // Half the reply (at least three bytes here) fails the CRC.
    {"truncated", {"--short", "at:5,8"}, "short", 1, "Ошибка CRC приема switch"},
    // 0.3 s of noise at the line rate is at most 240 bytes, under the 256-byte
    // bound of a reply: one reply of noise, which fails the CRC.
    {"babbling", {"--babble", "at:5,8", "--babble-time", "0.3"}, "babble", 1, "Ошибка CRC приема switch"},
    // The line goes while the window waits for the reply: the port closes
    // under the exchange, which ends it as "port not open", without a count,
    // and the window opens the port again once the simulator is back.
    {"hang_up", {"--hangup", "at:5,8", "--hangup-time", "1"}, "hangup", 0, "MBData/GetData: Comm не открыт...",
     "the device is gone or hung up"},
};

void PrintTo(const HostileLine& line, std::ostream* out) { *out << line.name; }

class HostileLineTest : public ::testing::TestWithParam<HostileLine> {};

TEST_P(HostileLineTest, every_fault_is_counted_as_its_kind_requires_and_polling_comes_back) {
  const HostileLine& line = GetParam();
  std::vector<std::string> options = line.faults;
  options.insert(options.end(), {"--seed", "5"});
  MeterWindow window(options);
  ASSERT_FALSE(window.Simulator().path().empty()) << window.Simulator().errors();
  window.Start();

  const bool faultsOver =
      window.RunTicksUntil([&] { return window.SimulatorReached(kLastFaultedRequest); }, 40s);
  const long errorsAfterFaults = window.ErrorCount();
  const bool pollingResumed =
      faultsOver &&
      window.RunTicksUntil([&] { return window.SimulatorReached(kLastFaultedRequest + kCleanRequests); }, 20s);
  window.Close();
  const std::optional<int> simulatorExit = window.Simulator().stop();
  std::map<std::string, long> counters = window.Simulator().counters();
  const FaultsByRequest applied = ReadFaults(window.Simulator().log());

  // The run completed: the window neither froze nor crashed.
  ASSERT_TRUE(faultsOver) << "the simulator never got request " << kLastFaultedRequest << "\n"
                          << window.Simulator().log() << window.Stderr();
  EXPECT_TRUE(pollingResumed) << "no clean requests after the faults\n" << window.Simulator().log();
  EXPECT_EQ(simulatorExit, 0);

  EXPECT_EQ(counters[line.kind], 2) << window.Simulator().errors();
  EXPECT_EQ(CountByKind(applied), (std::map<std::string, long>{{line.kind, 2}})) << "faults of other kinds";
  EXPECT_EQ(errorsAfterFaults, 2 * line.errorsPerFault) << window.Simulator().log();
  EXPECT_EQ(window.ErrorCount(), errorsAfterFaults) << "errors counted after the faults stopped";
  EXPECT_EQ(window.Message(), line.lastMessage);
  EXPECT_EQ(window.DifferencesFromTheMeter(), "");
  EXPECT_GT(window.beatsDuringExchanges, 0) << "no window event ran while an exchange waited";
  EXPECT_NE(window.Stderr().find(line.stderrSays), std::string::npos) << window.Stderr();
}

INSTANTIATE_TEST_SUITE_P(Faults, HostileLineTest, ::testing::ValuesIn(kHostileLines),
                         [](const ::testing::TestParamInfo<HostileLine>& info) { return info.param.name; });

}  // namespace
}  // namespace dornvel::reliability
