#include <gtest/gtest.h>
#include <signal.h>

#include "harness/program_window.h"
#include "harness/simulator.h"

namespace dornvel::testing {
namespace {

bool AllGrey(const WindowView& view, bool grey) {
  return view.nolu.grey == grey && view.switchBox.grey == grey && view.slaveid.grey == grey &&
         view.boudrate.grey == grey;
}

// The meter goes silent (powered off, unplugged from the line): its last
// reading stays to be read, greyed, and so do its slave id and rate; once it
// answers again, the normal background is back.
TEST(SilentMeter, its_last_values_stay_greyed_until_it_answers_again) {
  TempDir dir;
  Simulator sim(dir, {"--link", (dir / "com1").string(), "--resistance", "1658", "--switch", "7"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramWindow program({{1, (dir / "com1").string()}});
  program.Start();
  ASSERT_TRUE(program.RunTicks(1));
  ASSERT_TRUE(AllGrey(program.View(), false)) << program.Message();

  ::kill(sim.ChildProcess().Pid(), SIGSTOP);
  ASSERT_TRUE(program.RunUntil([&] { return program.View().nolu.grey; }, 15s));
  const WindowView silent = program.View();
  EXPECT_EQ(silent.nolu, (BoxView{"1658", true}));
  EXPECT_EQ(silent.switchBox, (BoxView{"07", true}));
  EXPECT_EQ(silent.slaveid, (BoxView{"0001", true}));
  EXPECT_EQ(silent.boudrate, (BoxView{"9600", true}));

  ::kill(sim.ChildProcess().Pid(), SIGCONT);
  EXPECT_TRUE(program.RunUntil([&] { return AllGrey(program.View(), false); }, 20s)) << program.Message();
}

}  // namespace
}  // namespace dornvel::testing
