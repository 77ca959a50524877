#include <gtest/gtest.h>

#include <string>

#include "harness/program_process.h"
#include "harness/pseudo_terminal.h"
#include "harness/simulator.h"

namespace dornvel::testing {
namespace {

// The census of both rates takes about 25 s; a slow machine may need more.
constexpr Milliseconds kCensusLimit = 75s;

// A line of four meters, two of them sharing slave id 7 and one at the other
// rate, listed from the command line with no display.
TEST(ListMeters, the_command_line_lists_each_meter_a_duplicate_id_and_both_rates_in_machine_form) {
  TempDir dir;
  const std::string link = (dir / "com4").string();
  Simulator sim(dir, {"--link", link, "--switch", "2", "--meter", "3:12.5", "--meter", "7:100", "--meter", "7:200",
                      "--meter", "200@19200:1500.25"});
  if (sim.Path().empty() && sim.Errors().find("meter") != std::string::npos) {
    GTEST_SKIP() << "this dornvel-sim serves no line of meters (--meter): " << sim.Errors();
  }
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramProcess program({{4, link}});
  // A comma for decimals where the locale has one: the output keeps its point.
  program.SetEnvironment("LC_ALL", "de_DE.UTF-8");
  program.Start(std::nullopt, {"--list-meters", "--port", "com4"});

  const std::string output = program.RestOfOutput(kCensusLimit);
  EXPECT_EQ(program.WaitForExit(5s), 0) << program.Stderr();
  EXPECT_EQ(output,
            "slave_id,baud_rate,resistance_kohm,switch,state\n"
            "3,9600,12.5,2,ok\n"
            "200,19200,1500.25,2,ok\n"
            "7,9600,,,suspected duplicate id\n")
      << program.Stderr() << sim.Log();
  const std::string errors = program.Stderr();
  EXPECT_NE(errors.find("meters at 9600 and at 19200 share this line"), std::string::npos) << errors;
  EXPECT_NE(errors.find("3 meter(s) found in "), std::string::npos) << errors;
}

// Without --port the census asks on the port the window saved; a line where
// nothing answers ends within 30 s with the header alone and status 1.
TEST(ListMeters, the_saved_port_is_asked_and_a_silent_line_lists_nothing) {
  PseudoTerminal line;
  ProgramProcess program({{2, line.SlavePath()}});
  program.WriteSettings("[Properties]\nComPort=Com2\nBoudRate=9600\nSlave=1\n");
  program.Start(std::nullopt, {"--list-meters"});

  EXPECT_EQ(program.RestOfOutput(kCensusLimit), "slave_id,baud_rate,resistance_kohm,switch,state\n");
  EXPECT_EQ(program.WaitForExit(5s), 1) << program.Stderr();
  EXPECT_NE(program.Stderr().find("0 meter(s) found in "), std::string::npos) << program.Stderr();
}

}  // namespace
}  // namespace dornvel::testing
