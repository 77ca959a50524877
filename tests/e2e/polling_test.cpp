#include <gtest/gtest.h>

#include <algorithm>

#include "harness/device_frames.h"
#include "harness/program_process.h"
#include "harness/program_window.h"
#include "harness/simulator.h"
#include "harness/traffic_log.h"

namespace dornvel::testing {
namespace {

using namespace frames;

TEST(ProgramBinary, polls_the_four_values_then_only_the_input_registers_about_once_a_second) {
  TempDir dir;
  Simulator sim(dir, {"--link", (dir / "com1").string(), "--resistance", "12.5", "--switch", "3"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramProcess program({{1, (dir / "com1").string()}});
  program.SetEnvironment("DORNVEL_TRACE", "1");
  program.Start(3);
  EXPECT_EQ(program.WaitForExit(15s), 0) << program.Stderr();
  ASSERT_EQ(sim.Stop(), 0);

  const std::vector<std::string> threeTicks = {kReadNolu, kReadSwitch, kReadSlaveId, kReadBoudrate,
                                               kReadNolu, kReadSwitch, kReadNolu,    kReadSwitch};
  EXPECT_EQ(TracedRequests(program.Stderr()), threeTicks) << program.Stderr();
  const auto log = TrafficLog(sim.Log());
  EXPECT_EQ(Requests(log), threeTicks) << sim.Log();
  EXPECT_EQ(sim.Counters()["answered"], 8) << sim.Log();

  std::vector<double> tickStarts;
  for (const LogLine& line : log) {
    if (line.kind == "RX" && line.text == std::string(kReadNolu)) tickStarts.push_back(line.seconds);
  }
  ASSERT_EQ(tickStarts.size(), 3u) << sim.Log();
  for (std::size_t i = 1; i < tickStarts.size(); ++i) {
    const double spacing = tickStarts[i] - tickStarts[i - 1];
    EXPECT_GE(spacing, 0.8) << "tick " << i + 1;
    EXPECT_LE(spacing, 1.6) << "tick " << i + 1;
  }
}

TEST(ProgramBinary, after_the_line_hangs_up_and_comes_back_polling_resumes_by_itself) {
  TempDir dir;
  // Request 6 is the switch read of the second tick.
  Simulator sim(dir, {"--link", (dir / "com1").string(), "--resistance", "12.5", "--switch", "3", "--hangup", "at:6",
                      "--hangup-time", "1"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramProcess program({{1, (dir / "com1").string()}});
  program.SetEnvironment("DORNVEL_TRACE", "1");
  program.Start(5);
  EXPECT_EQ(program.WaitForExit(20s), 0) << program.Stderr();
  ASSERT_EQ(sim.Stop(), 0);

  const auto log = TrafficLog(sim.Log());
  auto back =
      std::find_if(log.begin(), log.end(), [](const LogLine& line) { return line.text.starts_with("line back on"); });
  ASSERT_NE(back, log.end()) << sim.Log();
  std::vector<std::string> repliesAfter;
  for (auto line = back; line != log.end(); ++line) {
    if (line->kind == "TX") repliesAfter.push_back(line->text);
  }
  ASSERT_GE(repliesAfter.size(), 2u) << sim.Log();
  EXPECT_EQ(repliesAfter[0], "01 04 04 00 00 41 48 CB E2") << sim.Log();
  EXPECT_EQ(repliesAfter[1], "01 04 02 00 03 F9 31") << sim.Log();
  EXPECT_EQ(sim.Counters()["hangup"], 1);
  // The program noticed the hang-up, and took the replies that came after it.
  const std::string trace = program.Stderr();
  const auto gone = trace.find("the device is gone or hung up");
  ASSERT_NE(gone, std::string::npos) << trace;
  EXPECT_NE(trace.find("switch <- 01 04 02 00 03 F9 31", gone), std::string::npos) << trace;
}

struct ShownValues {
  const char* name;
  std::vector<std::string> device;
  std::map<QString, QString> savedSettings;
  std::vector<std::string> boxes;  // nolu, switch, slaveid, Boudrate
};

std::ostream& operator<<(std::ostream& out, const ShownValues& c) { return out << c.name; }

class ShownOnTheWindow : public ::testing::TestWithParam<ShownValues> {};

TEST_P(ShownOnTheWindow, are_the_values_the_device_holds_with_the_box_patterns) {
  const ShownValues& c = GetParam();
  TempDir dir;
  std::vector<std::string> options = {"--link", (dir / "com1").string()};
  options.insert(options.end(), c.device.begin(), c.device.end());
  Simulator sim(dir, options);
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramWindow program({{1, (dir / "com1").string()}}, c.savedSettings);
  program.Start();

  ASSERT_TRUE(program.RunTicks(2)) << sim.Log();
  for (const WindowView& view : program.Views()) {
    EXPECT_EQ((std::vector<std::string>{view.nolu.text, view.switchBox.text, view.slaveid.text, view.boudrate.text}),
              c.boxes);
    EXPECT_EQ(view.errorCount, "") << view.message;
    EXPECT_EQ(view.message, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    DeviceSettings, ShownOnTheWindow,
    ::testing::Values(ShownValues{"rounded_up_at_slave_1_and_9600_baud",
                                  {"--resistance", "12.6", "--switch", "3"},
                                  {},
                                  {"13", "03", "0001", "9600"}},
                      ShownValues{"rounded_down_and_negative_at_slave_17_and_19200_baud",
                                  {"--resistance", "12.4", "--switch", "-5", "--slave", "17", "--baud", "19200"},
                                  {{"Properties/Slave", "17"}, {"Properties/BoudRate", "19200"}},
                                  {"12", "-05", "0017", "19200"}},
                      ShownValues{"through_an_adapter_that_echoes_each_request",
                                  {"--resistance", "12.6", "--switch", "3", "--echo"},
                                  {},
                                  {"13", "03", "0001", "9600"}}),
    [](const ::testing::TestParamInfo<ShownValues>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dornvel::testing
