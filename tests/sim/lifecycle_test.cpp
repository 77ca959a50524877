#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "harness/pseudo_terminal.h"
#include "harness/rtu_client.h"
#include "harness/simulator.h"

namespace dornvel::testing {
namespace {

namespace fs = std::filesystem;

const Bytes kReadNolu = {0x01, 0x04, 0x00, 0x00, 0x00, 0x02};
const Bytes kNormalReply = {0x01, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48, 0xCB, 0xE2};

class SimLifecycle : public ::testing::Test {
 protected:
  TempDir dir;
};

TEST_F(SimLifecycle, it_prints_the_pseudo_terminal_path_first_and_links_to_it) {
  fs::path link = dir / "com1";
  Simulator sim(dir, {"--link", link.string()});
  ASSERT_TRUE(sim.Path().starts_with("/dev/pts/")) << sim.Path() << sim.Errors();
  ASSERT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link).string(), sim.Path());
  RtuClient client(link.string());
  EXPECT_TRUE(::isatty(client.Fd()));
}

TEST_F(SimLifecycle, sigterm_removes_the_link_and_exits_0) {
  fs::path link = dir / "com1";
  Simulator sim(dir, {"--link", link.string()});
  ASSERT_TRUE(fs::is_symlink(link)) << sim.Errors();
  EXPECT_EQ(sim.Stop(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  EXPECT_NE(sim.Errors().find("dornvel-sim: requests=0 answered=0 ignored=0 collisions=0 faults:"), std::string::npos)
      << sim.Errors();
}

TEST_F(SimLifecycle, sigint_stops_it_the_same_way_even_while_a_master_holds_the_line) {
  fs::path link = dir / "com1";
  Simulator sim(dir, {"--link", link.string(), "--resistance", "12.5"});
  ASSERT_TRUE(fs::is_symlink(link)) << sim.Errors();
  RtuClient client(link.string());
  EXPECT_EQ(client.Transact(kReadNolu), kNormalReply);
  EXPECT_EQ(sim.ChildProcess().Stop(SIGINT, 3000ms), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  EXPECT_TRUE(client.SeesHangUp(1000ms));
}

TEST_F(SimLifecycle, a_stale_link_is_replaced_but_a_regular_file_is_not) {
  fs::path stale = dir / "stale";
  fs::create_symlink("/nonexistent/pts", stale);
  {
    Simulator sim(dir, {"--link", stale.string()});
    ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
    EXPECT_EQ(fs::read_symlink(stale).string(), sim.Path());
  }
  fs::path file = dir / "file";
  std::ofstream(file) << "keep me";
  Process refused(DORNVEL_SIM_PATH, {"--link", file.string()}, dir / "refused.txt");
  EXPECT_EQ(refused.WaitForExit(3000ms), 1);
  EXPECT_EQ(ReadText(file), "keep me");
  EXPECT_NE(ReadText(dir / "refused.txt").find("is not a symbolic link"), std::string::npos);
}

TEST_F(SimLifecycle, after_a_hang_up_it_comes_back_on_a_new_path_behind_the_same_link) {
  fs::path link = dir / "com1";
  Simulator sim(dir, {"--link", link.string(), "--resistance", "12.5", "--hangup", "at:2", "--hangup-time", "0.3"});
  ASSERT_TRUE(fs::is_symlink(link)) << sim.Errors();
  std::string firstPath = sim.Path();
  {
    RtuClient client(link.string());
    EXPECT_EQ(client.Transact(kReadNolu), kNormalReply);
    client.Send(WithCrc(kReadNolu));
    EXPECT_TRUE(client.SeesHangUp(1000ms)) << "the master's end sees the hang-up";
    EXPECT_FALSE(fs::exists(firstPath)) << "the old path is gone";

    auto secondPath = sim.ChildProcess().NextLine(2000ms);
    ASSERT_TRUE(secondPath.has_value()) << "a new path printed on return";
    EXPECT_TRUE(secondPath->starts_with("/dev/pts/"));
    EXPECT_NE(*secondPath, firstPath) << "the master still holds the old one";
    EXPECT_EQ(fs::read_symlink(link).string(), *secondPath);
  }
  RtuClient again(link.string());
  EXPECT_EQ(again.Transact(kReadNolu), kNormalReply);
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(sim.Counters()["hangup"], 1);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST_F(SimLifecycle, the_traffic_log_has_every_request_and_reply_with_rising_times) {
  Simulator sim(dir, {"--resistance", "12.5"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  client.Transact(kReadNolu);
  client.Transact({0x01, 0x03, 0x00, 0x01, 0x00, 0x01});
  ASSERT_EQ(sim.Stop(), 0);

  std::istringstream log(sim.Log());
  std::vector<std::string> traffic;
  double previous = -1.0;
  std::string line;
  while (std::getline(log, line)) {
    std::istringstream fields(line);
    double seconds = -1.0;
    std::string kind;
    fields >> seconds >> kind;
    EXPECT_GE(seconds, previous) << line;
    previous = seconds;
    EXPECT_TRUE(kind == "RX" || kind == "TX" || kind == "EV") << line;
    if (kind != "EV") {
      std::string rest;
      std::getline(fields, rest);
      traffic.push_back(kind + rest);
    }
  }
  ASSERT_EQ(traffic.size(), 4u) << sim.Log();
  EXPECT_EQ(traffic[0], "RX 01 04 00 00 00 02 71 CB");
  EXPECT_EQ(traffic[1], "TX 01 04 04 00 00 41 48 CB E2  | request #1");
  EXPECT_EQ(traffic[2], "RX 01 03 00 01 00 01 D5 CA");
  EXPECT_EQ(traffic[3], "TX 01 03 02 25 80 A3 74  | request #2");
}

TEST_F(SimLifecycle, sigusr1_prints_the_counters_while_it_runs) {
  Simulator sim(dir, {"--resistance", "12.5", "--silence", "at:1"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  RtuClient client(sim.Path());
  client.Transact(kReadNolu, 250ms);
  // Sent only after the request went unanswered; the counters line follows.
  ::kill(sim.ChildProcess().Pid(), SIGUSR1);
  EXPECT_EQ(client.Transact(kReadNolu), kNormalReply) << "it keeps serving";
  EXPECT_NE(sim.Errors().find("requests=1 answered=0 ignored=0 collisions=0 faults: hangup=0 silence=1"),
            std::string::npos)
      << sim.Errors();
}

TEST_F(SimLifecycle, it_serves_a_real_port_given_by_device) {
  testing::PseudoTerminal line;
  Simulator sim(dir, {"--device", line.SlavePath(), "--resistance", "12.5", "--slave", "3"});
  ASSERT_EQ(sim.Path(), line.SlavePath()) << sim.Errors();
  line.Write(WithCrc({0x03, 0x04, 0x00, 0x00, 0x00, 0x02}));
  const Bytes expected = WithCrc({0x03, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48});
  EXPECT_EQ(ToHex(line.Read(expected.size(), testing::In(1000ms))), ToHex(expected));
  EXPECT_TRUE(line.Read(1, testing::In(60ms)).empty()) << "nothing follows the reply";
  EXPECT_EQ(sim.Stop(), 0) << sim.Log() << sim.Errors();
}

TEST_F(SimLifecycle, bad_options_are_refused_with_exit_code_2) {
  const std::vector<std::vector<std::string>> cases = {
      {"--slave", "0"},
      {"--slave", "248"},
      {"--slave", "seven"},
      {"--baud", "4800"},
      {"--silence", "1.5"},
      {"--silence", "every:0"},
      {"--bad-crc", "at:"},
      {"--delay-time", "-1"},
      {"--exception-code", "256"},
      {"--switch", "65536"},
      {"--frame-gap", "0"},
      {"--stop-bits", "3"},
      {"--jumper=yes"},
      {"--link"},
      {"--link", "a", "--device", "b"},
      {"--meter", "0"},
      {"--meter", "7@4800"},
      {"--meter", "7:many"},
      {"--meter", "7", "--slave", "3"},
      {"--meter", "7", "--device", "b"},
      {"--turnaround", "5"},
      {"--no-such-option"},
      {"stray"},
  };
  for (const auto& arguments : cases) {
    std::string shown;
    for (const auto& argument : arguments) shown += argument + ' ';
    SCOPED_TRACE(shown);
    Process refused(DORNVEL_SIM_PATH, arguments, dir / "refused.txt");
    EXPECT_EQ(refused.WaitForExit(3000ms), 2);
    std::string message = ReadText(dir / "refused.txt");
    EXPECT_TRUE(message.starts_with("dornvel-sim: ")) << message;
    EXPECT_NE(message.find("--help"), std::string::npos) << message;
    EXPECT_TRUE(refused.RestOfOutput(100ms).empty()) << "nothing on standard output";
  }
}

TEST_F(SimLifecycle, help_names_every_option_and_the_refusal_code) {
  Process help(DORNVEL_SIM_PATH, {"--help"}, dir / "help-errors.txt");
  std::string text = help.RestOfOutput(3000ms);
  EXPECT_EQ(help.WaitForExit(3000ms), 0);
  for (const char* option :
       {"--link",           "--device",      "--frame-gap",  "--stop-bits",    "--slave",      "--baud",
        "--jumper",         "--refuse-code", "--resistance", "--drift-around", "--switch",     "--silence",
        "--delay",          "--delay-time",  "--bad-crc",    "--foreign",      "--foreign-id", "--exception",
        "--exception-code", "--split",       "--split-at",   "--split-gap",    "--short",      "--short-length",
        "--babble",         "--babble-time", "--hangup",     "--hangup-time",  "--seed",       "--log",
        "--meter",          "--turnaround",  "--echo"})
    EXPECT_NE(text.find(option), std::string::npos) << option;
  EXPECT_NE(text.find("exception 1"), std::string::npos);
}

}  // namespace
}  // namespace dornvel::testing
