#include <gtest/gtest.h>

#include <string>

#include "harness/program_window.h"
#include "harness/simulator.h"

namespace dornvel::testing {
namespace {

// Each reply comes 2.15 s after its request: just after the 2 s wait for its
// first byte and the 0.1 s of silence have ended, so it arrives during the
// next exchange, which is another tag's.
TEST(LateMeter, no_box_ever_shows_another_tags_value_and_every_exchange_is_counted) {
  TempDir dir;
  Simulator sim(dir, {"--link", (dir / "com1").string(), "--resistance", "12.5", "--switch", "7", "--delay", "every:1",
                      "--delay-time", "2.15"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramWindow program({{1, (dir / "com1").string()}});
  program.Start();
  ASSERT_TRUE(program.RunTicks(2, 60s)) << sim.Log();
  program.Close();

  for (std::size_t tick = 0; tick < program.Views().size(); ++tick) {
    SCOPED_TRACE("tick " + std::to_string(tick + 1));
    const WindowView& view = program.Views()[tick];
    // Each box shows its own value or nothing.
    EXPECT_TRUE(view.nolu.text.empty() || view.nolu.text == "13") << view.nolu.text;
    EXPECT_TRUE(view.switchBox.text.empty() || view.switchBox.text == "07") << view.switchBox.text;
    EXPECT_TRUE(view.slaveid.text.empty() || view.slaveid.text == "0001") << view.slaveid.text;
    EXPECT_TRUE(view.boudrate.text.empty() || view.boudrate.text == "9600") << view.boudrate.text;
    // The replies they took were another tag's, and refused.
    EXPECT_TRUE(view.switchBox.grey);
    EXPECT_TRUE(view.slaveid.grey);
    EXPECT_TRUE(view.boudrate.grey);
  }
  // No exchange got its own reply in time, and every one of them counts: the
  // four tags are read on every tick, since none was ever read.
  EXPECT_EQ(program.ErrorCount(), 4 * program.Ticks()) << sim.Log();
}

}  // namespace
}  // namespace dornvel::testing
