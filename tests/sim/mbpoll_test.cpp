#include <gtest/gtest.h>

#include "harness/rtu_client.h"
#include "harness/simulator.h"

namespace dornvel::testing {
namespace {

// mbpoll (libmodbus underneath, an independent master) reading the simulator.
class SimWithMbpoll : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(DORNVEL_MBPOLL_PATH).empty()) GTEST_SKIP() << "mbpoll not installed";
  }

  // One poll with the device's framing and 0-based addresses; what mbpoll
  // printed, standard output and error together.
  std::string Mbpoll(const std::string& path, const std::vector<std::string>& options, const std::string& slave = "1",
                     const std::vector<std::string>& writeValues = {}) {
    std::vector<std::string> all = {"-m",   "rtu", "-a", slave, "-b", "9600", "-P",
                                    "none", "-s",  "2",  "-0",  "-1", "-o",   "0.5"};
    all.insert(all.end(), options.begin(), options.end());
    all.push_back(path);
    all.insert(all.end(), writeValues.begin(), writeValues.end());
    Process poll(DORNVEL_MBPOLL_PATH, all, dir / "mbpoll-errors.txt");
    std::string out = poll.RestOfOutput(5000ms);
    poll.WaitForExit(3000ms);
    return out + ReadText(dir / "mbpoll-errors.txt");
  }

  TempDir dir;
};

TEST_F(SimWithMbpoll, reads_the_same_resistance_switch_and_holding_registers) {
  Simulator sim(dir, {"--link", (dir / "com1").string(), "--resistance", "12.5", "--switch", "3"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  const std::string link = (dir / "com1").string();
  EXPECT_NE(Mbpoll(link, {"-t", "3:float", "-r", "0", "-c", "1"}).find("[0]: \t12.5\n"), std::string::npos);
  EXPECT_NE(Mbpoll(link, {"-t", "3", "-r", "2", "-c", "1"}).find("[2]: \t3\n"), std::string::npos);
  std::string holding = Mbpoll(link, {"-t", "4", "-r", "0", "-c", "2"});
  EXPECT_NE(holding.find("[0]: \t1\n"), std::string::npos) << holding;
  EXPECT_NE(holding.find("[1]: \t9600\n"), std::string::npos) << holding;
}

TEST_F(SimWithMbpoll, gets_the_refusal_without_the_jumper_and_writes_with_it) {
  {
    TempDir own;
    Simulator sim(own, {});
    ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
    EXPECT_NE(Mbpoll(sim.Path(), {"-t", "4", "-r", "0"}, "1", {"5"}).find("Illegal function"), std::string::npos);
  }
  Simulator sim(dir, {"--jumper"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  EXPECT_NE(Mbpoll(sim.Path(), {"-t", "4", "-r", "0"}, "1", {"5"}).find("Written 1 references."), std::string::npos);
  EXPECT_NE(Mbpoll(sim.Path(), {"-t", "4", "-r", "0", "-c", "1"}, "5").find("[0]: \t5\n"), std::string::npos);
}

TEST_F(SimWithMbpoll, at_the_wrong_rate_mbpoll_times_out) {
  Simulator sim(dir, {"--baud", "19200"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  EXPECT_NE(Mbpoll(sim.Path(), {"-t", "4", "-r", "0", "-c", "1"}).find("timed out"), std::string::npos);
}

}  // namespace
}  // namespace dornvel::testing
