#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "harness/program_process.h"
#include "harness/simulator.h"
#include "harness/temp_dir.h"

namespace dornvel::testing {
namespace {

std::string Contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// dornvel --assign against the simulated meter at slave 1 and 9600 baud: with
// the jumper set it takes 12 at 19200 baud and answers there; without it,
// nothing is changed and the row says why.
TEST(AssignCommand, gives_the_simulated_meter_its_settings_and_appends_the_row_to_the_report) {
  const struct {
    const char* what;
    std::vector<std::string> simulator;
    int exitStatus;
    std::string row;  // after the time
    std::string log;  // in the simulator's log
  } cases[] = {
      {"jumper set", {"--jumper"}, 0, ",1,9600,12,19200,1500,0,pass,\r\n", "baud rate now 19200"},
      {"no jumper",
       {},
       1,
       ",1,9600,12,19200,,,,The meter refused the slave-id write: set the jumper JP on the meter. The meter answers "
       "at slave id 1 at 9600 baud.\r\n",
       "write refused: jumper JP not set"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string link = (dir / "com1").string();
    std::vector<std::string> options{"--link", link, "--resistance", "1500"};
    options.insert(options.end(), c.simulator.begin(), c.simulator.end());
    Simulator sim(dir, options);
    ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
    ProgramProcess program({{1, link}});
    const auto report = dir / "report.csv";
    program.Start(std::nullopt, {"--assign", "12", "--rate", "19200", "--port", "Com1", "--report", report.string(),
                                 "--prewarning", "1000", "--alarm", "500"});
    EXPECT_EQ(program.WaitForExit(60s), c.exitStatus) << program.Stderr();
    const std::string text = Contents(report);
    const auto rowStart = text.find("\r\n") + 2;
    ASSERT_NE(rowStart, std::string::npos + 2) << text;
    EXPECT_EQ(text.substr(0, rowStart),
              "\xEF\xBB\xBFtime,old_slave_id,old_baud_rate,new_slave_id,new_baud_rate,resistance_kohm,switch,verdict,"
              "message\r\n");
    const std::string row = text.substr(rowStart);
    EXPECT_EQ(row.substr(row.find(',')), c.row);
    EXPECT_NE(sim.Log().find(c.log), std::string::npos) << sim.Log();
  }
}

}  // namespace
}  // namespace dornvel::testing
