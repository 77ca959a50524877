#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "harness/program_window.h"
#include "harness/simulator.h"
#include "harness/traffic_log.h"
#include "tags/mb_collection.h"

namespace dornvel::testing {
namespace {

// The first tick reads all four tags (requests 1-4); from then on a tick reads
// nolu and switch. Requests 6 and 8 are the switch reads of the second and
// third ticks: the last exchange of their tick, so whatever a fault leaves on
// the line meets the next tick's first exchange and no other of its own tick.
constexpr char kFaultedRequests[] = "at:6,8";
constexpr std::uint64_t kLastFaultedRequest = 8;
// Then two clean ticks.
constexpr std::uint64_t kLastRequest = 12;

struct HostileLine {
  const char* name;
  std::vector<std::string> options;  // the fault's option comes first
  // Panel 4 at the end of the last faulted tick, and once polling is clean
  // again: a good reply does not clear a message.
  std::string faultMessage;
  std::string messageAfterwards;
  // What panel 3 must count for each injected fault.
  long errorsPerFault;
  // What standard error must say, if anything.
  std::string stderrSays = "";
};

void PrintTo(const HostileLine& line, std::ostream* out) { *out << line.name; }

const std::string kTimeout = "MBdata/GetData: Timout при получении пакета switch";
const std::string kBadCrc = "Ошибка CRC приема switch";
const std::string kNotAnAnswer = "Ответ не соответствует запросу: (switch)";
const std::string kPortNotOpen = "MBData/GetData: Comm не открыт...";

const HostileLine kHostileLines[] = {
    // No byte within the 2 s first-byte wait: a time-out.
    {"silence", {"--silence"}, kTimeout, kTimeout, 1},
    // Half a second late is within the 2 s first-byte wait: a good reply.
    {"delay_under_two_seconds", {"--delay", "--delay-time", "0.5"}, "", "", 0},
    {"bad_crc", {"--bad-crc"}, kBadCrc, kBadCrc, 1},
    {"foreign_slave", {"--foreign"}, "Не мой адрес: (switch) - 2", "Не мой адрес: (switch) - 2", 1},
    {"exception",
     {"--exception", "--exception-code", "6"},
     "Ошибка: (switch) - Контроллер выполняет ранее запрошенное действие",
     "Ошибка: (switch) - Контроллер выполняет ранее запрошенное действие",
     1},
    // Parts 30 ms apart are closer than the 0.1 s silence that ends a reply:
    // one whole reply.
    {"split_within_the_silence", {"--split", "--split-gap", "0.03"}, "", "", 0},
    // Parts 0.3 s apart: the first part alone fails the CRC, and the rest is
    // dropped as stale input by the next tick, which counts it no second time.
    {"split_across_the_silence", {"--split", "--split-gap", "0.3"}, kBadCrc, "CommPort - не пуст!!!", 1},
    // Half the reply (at least three bytes here) fails the CRC; a single byte
    // is too short to be checked at all, and answers nothing.
    {"truncated", {"--short"}, kBadCrc, kBadCrc, 1},
    {"one_byte", {"--short", "--short-length", "1"}, kNotAnAnswer, kNotAnAnswer, 1},
    // 0.3 s of noise at the line rate is at most 240 bytes, under the 256-byte
    // bound of a reply: one reply of noise, which fails the CRC.
    {"babbling", {"--babble", "--babble-time", "0.3"}, kBadCrc, kBadCrc, 1},
    // The line goes while the window waits for the reply: the port closes
    // under the exchange, which ends it as "port not open", without a count,
    // and the window opens the port again once the simulator is back.
    {"hang_up", {"--hangup", "--hangup-time", "1"}, kPortNotOpen, kPortNotOpen, 0, "the device is gone or hung up"},
};

// The meter's values as the boxes show them.
const std::map<std::string, std::string> kMeterValues = {
    {"nolu", "13"}, {"switch", "07"}, {"slaveid", "0001"}, {"boudrate", "9600"}};

// What differs from the meter's values shown on the normal background, with
// every tag's last examined reply accepted; empty when nothing does.
std::string DifferencesFromTheMeter(ProgramWindow& program) {
  const WindowView view = program.View();
  const std::map<std::string, BoxView> shown = {
      {"nolu", view.nolu}, {"switch", view.switchBox}, {"slaveid", view.slaveid}, {"boudrate", view.boudrate}};
  std::string differences;
  for (const auto& [tag, value] : kMeterValues) {
    const BoxView& box = shown.at(tag);
    if (box.text != value) differences += tag + " shows \"" + box.text + "\"; ";
    if (box.grey) differences += tag + " is grey; ";
    if (const int error = program.Window().Tags()->Item(tag).LastError; error != 0) {
      differences += tag + " has LastError " + std::to_string(error) + "; ";
    }
  }
  return differences;
}

class HostileLineTest : public ::testing::TestWithParam<HostileLine> {};

TEST_P(HostileLineTest, every_fault_is_shown_and_counted_as_its_kind_requires_and_polling_comes_back) {
  const HostileLine& line = GetParam();
  TempDir dir;
  std::vector<std::string> options = {
      "--link", (dir / "com1").string(), "--resistance",  "12.5", "--switch", "7", "--seed",
      "5",      line.options[0],         kFaultedRequests};
  options.insert(options.end(), line.options.begin() + 1, line.options.end());
  Simulator sim(dir, options);
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();

  ProgramWindow program({{1, (dir / "com1").string()}});
  program.Start();
  const bool faultsOver = program.RunUntil([&] { return sim.Reached(kLastFaultedRequest); }, 40s);
  const std::string faultMessage = program.Message();
  const std::optional<long> errorsAfterFaults = program.ErrorCount();
  const bool pollingResumed = faultsOver && program.RunUntil([&] { return sim.Reached(kLastRequest); }, 20s);
  const std::string differences = DifferencesFromTheMeter(program);
  program.Close();
  const std::optional<int> simulatorExit = sim.Stop();
  const std::string kind = line.options[0].substr(2);

  // The run completed: the window neither froze nor crashed.
  ASSERT_TRUE(faultsOver) << "the simulator never got request " << kLastFaultedRequest << "\n" << sim.Log();
  EXPECT_TRUE(pollingResumed) << "no clean requests after the faults\n" << sim.Log();
  EXPECT_EQ(simulatorExit, 0);
  EXPECT_EQ(sim.Counters()[kind], 2) << sim.Errors();
  EXPECT_EQ(CountByKind(ReadFaults(sim.Log())), (std::map<std::string, long>{{kind, 2}})) << "faults of other kinds";

  EXPECT_EQ(program.Views().front().errorCount, "") << program.Views().front().message;
  EXPECT_EQ(faultMessage, line.faultMessage);
  EXPECT_EQ(errorsAfterFaults, 2 * line.errorsPerFault) << sim.Log();
  EXPECT_EQ(program.ErrorCount(), errorsAfterFaults) << "errors counted after the faults stopped";
  EXPECT_EQ(program.Message(), line.messageAfterwards);
  EXPECT_EQ(differences, "");
  EXPECT_GT(program.EventsDuringExchanges(), 0) << "no window event ran while an exchange waited";
  EXPECT_NE(program.Stderr().find(line.stderrSays), std::string::npos) << program.Stderr();
}

INSTANTIATE_TEST_SUITE_P(Faults, HostileLineTest, ::testing::ValuesIn(kHostileLines),
                         [](const ::testing::TestParamInfo<HostileLine>& info) { return info.param.name; });

}  // namespace
}  // namespace dornvel::testing
