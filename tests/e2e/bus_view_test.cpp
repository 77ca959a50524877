#include <gtest/gtest.h>

#include <QTest>
#include <csignal>
#include <string>
#include <vector>

#include "harness/program_process.h"
#include "harness/program_window.h"
#include "harness/simulator.h"
#include "harness/traffic_log.h"
#include "ui/bus_window.h"

namespace dornvel::testing {
namespace {

// dornvel --bus on a line with the meter at 3 and nothing at 4: the bus view
// polls both in turn, the port changing to 19200 baud for 4, and records a
// row per poll; 4 is given up on after three silent polls and retried only
// every 10 s, so 3 is read many times meanwhile.
TEST(BusView, dornvel_bus_records_a_row_per_poll_of_each_listed_meter_answered_or_not) {
  TempDir dir;
  Simulator sim(dir, {"--link", (dir / "com1").string(), "--slave", "3", "--resistance", "12.5", "--switch", "7"},
                Simulator::LogMode::Tapped);
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramProcess program({{1, (dir / "com1").string()}});
  program.SetEnvironment("LC_ALL", "C.UTF-8");
  program.SetEnvironment("LANGUAGE", std::nullopt);
  program.SetEnvironment("DORNVEL_TRACE", "1");
  const auto file = dir / "bus.csv";
  program.Start(std::nullopt, {"--bus", "--meters", "3,4@19200", "--record", file.string()});
  // Three misses of 4 take 3 s; 40 requests in all come well before its retry.
  for (int request = 0; request < 40; ++request) ASSERT_TRUE(sim.WaitFor("RX", 5s)) << program.Stderr();
  program.Stop(SIGTERM, 5s);

  const std::vector<std::string> lines = Lines(ReadText(file));
  ASSERT_GE(lines.size(), 2u) << program.Stderr();
  EXPECT_EQ(lines[0], "\xEF\xBB\xBFtime,slave_id,baud_rate,resistance_kohm,switch,message\r");
  int answered = 0;
  int silent = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string row = lines[i].substr(25);  // after the time
    if (row == ",3,9600,12.5,7,O.K.\r") {
      ++answered;
    } else if (row == ",4,19200,,,no reply\r") {
      ++silent;
    } else if (i + 1 < lines.size()) {  // the last one may be cut off by the stop
      ADD_FAILURE() << "row " << i << ": " << lines[i];
    }
  }
  EXPECT_GE(answered, 30);
  EXPECT_EQ(silent, 3);
  // One request for resistance and switch together.
  const std::vector<std::string> requests = TracedRequests(program.Stderr());
  EXPECT_GE(requests.size(), 40u);
  for (const std::string& request : requests) {
    EXPECT_TRUE(request.starts_with("03 04 00 00 00 03") || request.starts_with("04 04 00 00 00 03")) << request;
  }
}

BusWindow* OpenedBusView(FormMain& window) {
  for (QWidget* child : window.findChildren<QWidget*>()) {
    if (auto* bus = dynamic_cast<BusWindow*>(child)) return bus;
  }
  return nullptr;
}

// The bus view takes the line from the main window: polling pauses while it
// is open and resumes when it closes.
TEST(BusView, the_main_windows_polling_pauses_while_the_bus_view_holds_the_line) {
  TempDir dir;
  Simulator sim(dir, {"--link", (dir / "com1").string(), "--resistance", "12.5"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramWindow program({{1, (dir / "com1").string()}});
  program.Start();
  ASSERT_TRUE(program.RunTicks(1));

  OpenBusView(program.Window(), {{1, 9600}});
  BusWindow* bus = OpenedBusView(program.Window());
  ASSERT_NE(bus, nullptr);
  EXPECT_TRUE(QTest::qWaitFor([&] { return bus->Meters()[0].good >= 5; }, 10000));
  // The next tick of the main window finds the line held.
  EXPECT_TRUE(QTest::qWaitFor([&] { return program.Message() == "Polling paused while a tool uses the line"; }, 3000))
      << program.Message();
  EXPECT_TRUE(program.Window().CommLine().Held());

  bus->close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return OpenedBusView(program.Window()) == nullptr; }, 5000));
  EXPECT_FALSE(program.Window().CommLine().Held());
  ASSERT_TRUE(program.RunTicks(2));
  EXPECT_EQ(program.View().nolu.text, "13");
  EXPECT_FALSE(program.View().nolu.grey);
}

}  // namespace
}  // namespace dornvel::testing
