#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "harness/program_window.h"
#include "harness/simulator.h"

namespace dornvel::testing {
namespace {

// The values mbpoll printed ("[2]: \t42"), by register address.
std::map<int, double> MbpollValues(const std::string& output) {
  static const std::regex kValue(R"(\[(\d+)\]:\s+(-?[0-9.]+))");
  std::map<int, double> values;
  for (auto it = std::sregex_iterator(output.begin(), output.end(), kValue); it != std::sregex_iterator(); ++it) {
    values[std::stoi((*it)[1])] = std::stod((*it)[2]);
  }
  return values;
}

// One read by mbpoll, an independent master, at slave 17 and 19200 baud.
std::map<int, double> ReadWithMbpoll(const TempDir& dir, const std::string& path, std::vector<std::string> what) {
  std::vector<std::string> options = {"-m",   "rtu", "-a", "17", "-b", "19200", "-P",
                                      "none", "-s",  "2",  "-0", "-1", "-o",    "0.5"};
  options.insert(options.end(), what.begin(), what.end());
  options.push_back(path);
  Process mbpoll(DORNVEL_MBPOLL_PATH, options, dir / "mbpoll-errors.txt");
  const std::string output = mbpoll.RestOfOutput(5000ms);
  mbpoll.WaitForExit(3000ms);
  return MbpollValues(output);
}

// A whole number with at least `digits` digits, as the boxes show them.
std::string Whole(double value, int digits) {
  return QStringLiteral("%1").arg(std::llround(value), digits, 10, QLatin1Char('0')).toStdString();
}

TEST(ProgramAndMbpoll, mbpoll_reads_the_values_the_window_shows) {
  if (std::string(DORNVEL_MBPOLL_PATH).empty()) GTEST_SKIP() << "mbpoll not installed";
  TempDir dir;
  const std::string link = (dir / "com1").string();
  Simulator sim(dir, {"--link", link, "--slave", "17", "--baud", "19200", "--resistance", "987.25", "--switch", "42"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  WindowView shown;
  {
    ProgramWindow program({{1, link}}, {{"Properties/Slave", "17"}, {"Properties/BoudRate", "19200"}});
    program.Start();
    ASSERT_TRUE(program.RunTicks(1)) << sim.Log();
    shown = program.View();
  }
  // The window has closed its port: the line is mbpoll's now.
  auto resistance = ReadWithMbpoll(dir, link, {"-t", "3:float", "-r", "0", "-c", "1"});
  auto input = ReadWithMbpoll(dir, link, {"-t", "3", "-r", "2", "-c", "1"});
  auto holding = ReadWithMbpoll(dir, link, {"-t", "4", "-r", "0", "-c", "2"});
  ASSERT_TRUE(resistance.contains(0) && input.contains(2) && holding.contains(0) && holding.contains(1)) << sim.Log();

  EXPECT_EQ(shown.nolu.text, Whole(resistance[0], 1));
  EXPECT_EQ(shown.switchBox.text, Whole(input[2], 2));
  EXPECT_EQ(shown.slaveid.text, Whole(holding[0], 4));
  EXPECT_EQ(shown.boudrate.text, Whole(holding[1], 2));
  EXPECT_EQ(shown.errorCount, "") << shown.message;
}

}  // namespace
}  // namespace dornvel::testing
