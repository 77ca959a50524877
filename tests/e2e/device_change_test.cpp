#include <gtest/gtest.h>

#include "harness/program_window.h"
#include "harness/simulator.h"

namespace dornvel::testing {
namespace {

// The computer addresses slave 2, where no device is, and then slave 1 again.
TEST(DeviceChange, a_slave_id_without_a_device_empties_the_boxes_until_the_device_answers_again) {
  TempDir dir;
  Simulator sim(dir, {"--link", (dir / "com1").string(), "--resistance", "12.5", "--switch", "7"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramWindow program({{1, (dir / "com1").string()}});
  program.Start();
  ASSERT_TRUE(program.RunTicks(1)) << sim.Log();
  ASSERT_EQ(program.View().slaveid.text, "0001");

  program.Dialogs().Answer("2");
  program.Window().ProgSlave_Click();
  ASSERT_TRUE(program.RunTicks(1)) << sim.Log();
  for (const BoxView& box :
       {program.View().nolu, program.View().switchBox, program.View().slaveid, program.View().boudrate}) {
    // Empty, and grey: nothing at slave 2 answered.
    EXPECT_EQ(box, (BoxView{"", true})) << box.text << " left from the device at slave 1";
  }
  EXPECT_EQ(program.ErrorCount(), 4) << "four reads timed out";

  program.Dialogs().Answer("1");
  program.Window().ProgSlave_Click();
  ASSERT_TRUE(program.RunTicks(1)) << sim.Log();
  const WindowView back = program.View();
  EXPECT_EQ(back.nolu, (BoxView{"13", false}));
  EXPECT_EQ(back.switchBox, (BoxView{"07", false}));
  EXPECT_EQ(back.slaveid, (BoxView{"0001", false}));
  EXPECT_EQ(back.boudrate, (BoxView{"9600", false}));
}

}  // namespace
}  // namespace dornvel::testing
