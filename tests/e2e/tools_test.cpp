#include <gtest/gtest.h>

#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>
#include <string>
#include <vector>

#include "harness/file_size_limit.h"
#include "harness/program_process.h"
#include "harness/program_window.h"
#include "harness/simulator.h"
#include "harness/traffic_log.h"

namespace dornvel::testing {
namespace {

// A meter re-programmed to slave 37 and 19200 baud and forgotten: the window
// starts at slave 1 and 9600, finds it, and takes its settings when told to.
TEST(FindTheMeter, a_meter_at_37_and_19200_is_found_from_1_and_9600_and_its_settings_are_taken) {
  TempDir dir;
  Simulator sim(dir, {"--link", (dir / "com1").string(), "--slave", "37", "--baud", "19200", "--resistance", "12.5",
                      "--switch", "7"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramWindow program({{1, (dir / "com1").string()}});
  program.Start();
  program.Dialogs().AnswerYes(true);
  program.Tools().FindMeter();

  EXPECT_EQ(program.Dialogs().yesNoQuestions,
            std::vector<QString>{"Meter found: slave id 37 at 19200 baud. Use these settings?"});
  // Every id at 9600 baud, then 1 to 37 at 19200; nothing but reads of holding
  // register 0, and only the last one answered.
  const std::vector<std::string> probes = Requests(TrafficLog(sim.Log()));
  EXPECT_EQ(probes.size(), 247u + 37u);
  for (const std::string& probe : probes) EXPECT_EQ(probe.substr(2, 15), " 03 00 00 00 01") << "not a read";
  EXPECT_EQ(program.Window().findChild<QLineEdit*>(QStringLiteral("ProgSlave"))->text(), "37");
  EXPECT_EQ(program.Window().findChild<QComboBox*>(QStringLiteral("ProgBoudRate"))->currentText(), "19200");
  ASSERT_TRUE(program.RunTicks(1)) << sim.Log();
  const WindowView shown = program.View();
  EXPECT_EQ(shown.slaveid.text, "0037");
  EXPECT_EQ(shown.boudrate.text, "19200");
  EXPECT_EQ(shown.nolu.text, "13");
  EXPECT_EQ(shown.errorCount, "") << shown.message;
}

TEST(RecordReadings, dornvel_record_writes_a_row_of_the_meters_values_every_tick_in_the_locales_form) {
  const struct {
    const char* locale;
    std::string header;
    std::string values;  // the row after its time
  } cases[] = {
      {"C.UTF-8", "\xEF\xBB\xBFtime,resistance_kohm,switch,device_slave_id,device_baud_rate,errors,message\r",
       ",987.25,42,1,9600,,\r"},
      {"ru_RU.UTF-8",
       "\xEF\xBB\xBFвремя;сопротивление_кОм;переключатель;адрес_устройства;скорость_устройства;ошибки;сообщение\r",
       ";987,25;42;1;9600;;\r"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale);
    TempDir dir;
    Simulator sim(dir, {"--link", (dir / "com1").string(), "--resistance", "987.25", "--switch", "42"});
    ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
    ProgramProcess program({{1, (dir / "com1").string()}});
    program.SetEnvironment("LC_ALL", c.locale);
    program.SetEnvironment("LANGUAGE", std::nullopt);
    const auto file = dir / "readings.csv";
    program.Start(2, {"--record", file.string()});
    ASSERT_EQ(program.WaitForExit(20s), 0) << program.Stderr();

    const std::vector<std::string> lines = Lines(ReadText(file));
    ASSERT_EQ(lines.size(), 3u) << ReadText(file);
    EXPECT_EQ(lines[0], c.header);
    for (int row : {1, 2}) {
      // 2026-12-08T23:41:07+01:00,987.25,42,1,9600,,
      const std::string& line = lines[row];
      EXPECT_EQ(line.substr(25), c.values) << line;
      EXPECT_EQ(line.find('T'), 10u) << line;
    }
  }
}

// A meter that answers a second after each request, slow but ordinary: polling
// waits 2 s for it, and so does the search once it has heard it.
TEST(FindTheMeter, a_meter_that_answers_a_second_late_is_found) {
  TempDir dir;
  Simulator sim(dir, {"--link", (dir / "com1").string(), "--slave", "5", "--delay", "every:1", "--delay-time", "1.0"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramWindow program({{1, (dir / "com1").string()}});
  program.Start();
  program.Dialogs().AnswerYes(false);
  program.Tools().FindMeter();

  EXPECT_EQ(program.Dialogs().yesNoQuestions,
            std::vector<QString>{"Meter found: slave id 5 at 9600 baud. Use these settings?"})
      << sim.Log();
}

// The disk fills up while recording: the recording stops and says why, and
// polling goes on while the message is read.
TEST(RecordReadings, a_write_failure_stops_the_recording_and_its_message_holds_up_no_tick) {
  TempDir dir;
  Simulator sim(dir, {"--link", (dir / "com1").string()});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramWindow program({{1, (dir / "com1").string()}});
  program.Start();
  const auto file = dir / "readings.csv";
  ASSERT_TRUE(program.Tools().StartRecording(QString::fromStdString(file.string())));
  ASSERT_TRUE(program.RunTicks(1));

  int ticksWhileShown = -1;
  program.Dialogs().whileTelling = [&] {
    const int before = program.Ticks();
    QEventLoop reading;
    QTimer::singleShot(3500ms, &reading, &QEventLoop::quit);
    reading.exec();
    ticksWhileShown = program.Ticks() - before;
  };
  {
    // No room for one more row: the next write fails as on a full disk.
    const FileSizeLimit full(std::filesystem::file_size(file));
    ASSERT_TRUE(program.RunUntil([&] { return !program.Tools().Recording(); }, 5s));
  }
  ASSERT_TRUE(program.RunUntil([&] { return ticksWhileShown >= 0; }, 10s));

  ASSERT_EQ(program.Dialogs().messages.size(), 1u);
  EXPECT_TRUE(program.Dialogs().messages[0].startsWith("Recording stopped: cannot write " +
                                                       QString::fromStdString(file.string()) + ": File too large"))
      << program.Dialogs().messages[0].toStdString();
  EXPECT_GE(ticksWhileShown, 2);
}

}  // namespace
}  // namespace dornvel::testing
