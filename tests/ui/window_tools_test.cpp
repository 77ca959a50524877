#include "ui/window_tools.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "harness/device_frames.h"
#include "harness/meters_on_line.h"
#include "harness/window_rig.h"
#include "protocol/line.h"
#include "readings/trend_series.h"
#include "tags/mb_collection.h"
#include "ui/census_dialog.h"
#include "ui/commissioning_window.h"
#include "ui/trend_window.h"

namespace dornvel::testing {
namespace {

using namespace frames;
namespace fs = std::filesystem;

// The scripted window with its tools, after start-up.
struct ToolsTest : ::testing::Test {
  ToolsTest() : tools(*rig.window, {rig.pump, rig.clock}, rig.dialogs, rig.dialogs) {
    rig.Start();
    folder = fs::temp_directory_path() / ("dornvel-tools-" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  ~ToolsTest() override {
    tools.StopRecording();  // Windows removes no file that is still open
    fs::remove_all(folder);
  }

  // The rows of a recording, each without its time: "12.5,7,1,9600,," ...
  std::vector<std::string> RowsWithoutTime(const fs::path& file) const {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> rows;
    std::string all = text.str();
    for (std::size_t start = 0; start < all.size();) {
      const std::size_t end = all.find("\r\n", start);
      const std::string row = all.substr(start, end - start);
      rows.push_back(row.substr(row.find(',') + 1));
      start = end == std::string::npos ? all.size() : end + 2;
    }
    return rows;
  }

  WindowRig rig;
  WindowTools tools;
  fs::path folder;
};

TEST_F(ToolsTest, a_recording_holds_a_row_a_tick_and_a_failed_read_leaves_its_field_empty) {
  const fs::path file = folder / "readings.csv";
  ASSERT_TRUE(tools.StartRecording(QString::fromStdString(file.string())));
  EXPECT_EQ(rig.window->Panel(1)->text(), "REC");

  rig.AnswerFirstTick();
  rig.window->Timer1_Timer();
  rig.port->ExpectReply(kReadNolu, kNolu12_4);
  rig.port->ExpectReply(kReadSwitch, kSwitchBadCrc);  // shows its last value, greyed: not recorded
  rig.window->Timer1_Timer();
  rig.port->Expect(kReadNolu);  // no reply
  rig.port->ExpectReply(kReadSwitch, kSwitch0);
  rig.window->Timer1_Timer();
  rig.port->Expect(kReadNolu);  // the meter is silent: its id and rate are not confirmed
  rig.port->Expect(kReadSwitch);
  rig.window->Timer1_Timer();
  rig.port->ExpectReply(kReadNolu, kNolu12_5);
  rig.port->ExpectReply(kReadSwitch, kSwitch7);
  rig.window->Timer1_Timer();

  EXPECT_EQ(
      RowsWithoutTime(file),
      (std::vector<std::string>{
          "resistance_kohm,switch,device_slave_id,device_baud_rate,errors,message",
          "12.5,7,1,9600,,",
          "12.4,,1,9600,1,Ошибка CRC приема switch",
          ",0,1,9600,2,MBdata/GetData: Timout при получении пакета nolu",
          ",,,,4,MBdata/GetData: Timout при получении пакета nolu; MBdata/GetData: Timout при получении пакета switch",
          "12.5,7,1,9600,4,",
      }));
  EXPECT_EQ(rig.Box("switch")->text(), "07");
}

TEST_F(ToolsTest, recording_into_an_existing_file_appends_its_rows_under_the_one_header) {
  const fs::path file = folder / "readings.csv";
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(tools.StartRecording(QString::fromStdString(file.string())));
    rig.port->ExpectReply(kReadNolu, kNolu12_5);
    rig.port->ExpectReply(kReadSwitch, kSwitch7);
    if (run == 0) {
      rig.port->ExpectReply(kReadSlaveId, kSlaveId1);
      rig.port->ExpectReply(kReadBoudrate, kBoudrate9600);
    }
    rig.window->Timer1_Timer();
    tools.StopRecording();
    EXPECT_EQ(rig.window->Panel(1)->text(), "Right click: tools");
  }
  rig.port->ExpectReply(kReadNolu, kNolu12_5);
  rig.port->ExpectReply(kReadSwitch, kSwitch7);
  rig.window->Timer1_Timer();  // not recorded

  const auto rows = RowsWithoutTime(file);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], "12.5,7,1,9600,,");
  EXPECT_EQ(rows[2], "12.5,7,1,9600,,");
}

TEST_F(ToolsTest, a_file_that_cannot_be_written_is_refused_with_the_reason_and_polling_goes_on) {
  struct Case {
    fs::path path;
    const char* reason;
  } cases[] = {
      {folder / "missing-folder" / "readings.csv", "No such file or directory"},
      {folder, "Is a directory"},
      {"/dev/full", "No space left on device"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.string());
    rig.dialogs.messages.clear();
    EXPECT_FALSE(tools.StartRecording(QString::fromStdString(c.path.string())));
    QCoreApplication::processEvents();
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_TRUE(
        rig.dialogs.messages[0].startsWith("Cannot record readings to " + QString::fromStdString(c.path.string())));
    EXPECT_TRUE(rig.dialogs.messages[0].endsWith(c.reason)) << rig.dialogs.messages[0].toStdString();
    EXPECT_FALSE(tools.Recording());
    EXPECT_FALSE(tools.RecordAction()->isChecked());
    EXPECT_EQ(rig.window->Panel(1)->text(), "Right click: tools");
  }
  rig.AnswerFirstTick();
  rig.window->Timer1_Timer();
  EXPECT_EQ(rig.Box("Boudrate")->text(), "9600");
}

TEST_F(ToolsTest, the_trend_gets_every_tick_with_a_gap_where_the_read_failed) {
  rig.AnswerFirstTick();
  rig.window->Timer1_Timer();
  rig.port->Expect(kReadNolu);
  rig.port->Expect(kReadSwitch);
  rig.window->Timer1_Timer();
  rig.port->ExpectReply(kReadNolu, kNolu12_4);
  rig.port->ExpectReply(kReadSwitch, kSwitch0);
  rig.window->Timer1_Timer();

  const auto& points = tools.Trend().Series().Points();
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[0].resistanceKohm, 12.5f);
  EXPECT_FALSE(points[1].resistanceKohm);
  EXPECT_FALSE(points[1].switchValue);
  EXPECT_EQ(points[2].resistanceKohm, 12.4f);
  EXPECT_EQ(points[2].switchValue, 0);
}

TEST_F(ToolsTest, the_window_offers_its_tools_from_its_context_menu_and_by_key_and_keeps_its_21_controls) {
  EXPECT_EQ(rig.window->contextMenuPolicy(), Qt::ActionsContextMenu);
  const QList<QAction*> actions = rig.window->actions();
  ASSERT_EQ(actions.size(), 5);
  const std::pair<const char*, const char*> expected[] = {{"Find the meter…", "Ctrl+F"},
                                                          {"Meters on the line…", "Ctrl+L"},
                                                          {"Record readings…", "Ctrl+R"},
                                                          {"Trend…", "Ctrl+T"},
                                                          {"Commission meters…", ""}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(actions[i]->text(), QString::fromUtf8(expected[i].first));
    EXPECT_EQ(actions[i]->shortcut().toString(), expected[i].second);
  }
  EXPECT_EQ(rig.window->Controls().size(), 21u);

  ASSERT_TRUE(tools.StartRecording(QString::fromStdString((folder / "r.csv").string())));
  tools.RecordAction()->trigger();  // Ctrl+R again stops
  EXPECT_FALSE(tools.Recording());
  EXPECT_EQ(rig.window->Panel(1)->text(), "Right click: tools");
}

// Ctrl+F during a tick shows the search's dialog at once; the exchange on the
// line finishes, the tick starts no other, and the search follows it.
TEST_F(ToolsTest, a_search_asked_for_during_a_tick_shows_at_once_and_cuts_the_tick_short) {
  QString shownDuringTick;
  rig.pump.onEvents = [&] {
    if (!shownDuringTick.isNull() || !rig.window->CommLine().ExchangeRunning()) return;
    tools.FindMeter();
    tools.FindMeter();  // the key pressed twice: one search
    auto* dialog = rig.window->findChild<QProgressDialog*>();
    shownDuringTick = dialog && dialog->isVisible() ? dialog->labelText() : QString("");
  };
  rig.port->ExpectReply(kReadNolu, kNolu12_5);
  // The first probe, slave 1 at 9600 baud, is answered: the meter.
  rig.port->ExpectReply("01 03 00 00 00 01 84 0A", kSlaveId1);
  rig.dialogs.AnswerYes(false);
  rig.window->Timer1_Timer();
  EXPECT_EQ(shownDuringTick, "Waiting for the running poll to finish…");
  EXPECT_EQ(rig.port->Sent().size(), 1u) << "the tick's other exchanges were not started";
  EXPECT_EQ(rig.Box("nolu")->text(), "13");

  QCoreApplication::processEvents();
  ASSERT_EQ(rig.port->Sent().size(), 2u);
  EXPECT_EQ(rig.dialogs.yesNoQuestions,
            std::vector<QString>{"Meter found: slave id 1 at 9600 baud. Use these settings?"});
}

TEST_F(ToolsTest, the_search_shows_the_rate_and_id_being_tried_until_cancelled) {
  for (int probe = 0; probe < 3; ++probe) rig.port->ExpectAnyRequest({});
  std::set<QString> shown;
  rig.pump.onEvents = [&] {
    auto* progress = rig.window->findChild<QProgressDialog*>();
    if (!progress || !progress->isVisible()) return;
    shown.insert(progress->labelText());
    if (progress->value() == 3) progress->cancel();
  };

  tools.FindMeter();

  EXPECT_TRUE(shown.count("Slave id 1 at 9600 baud (1 of 494)"));
  EXPECT_TRUE(shown.count("Slave id 3 at 9600 baud (3 of 494)"));
  EXPECT_TRUE(rig.dialogs.messages.empty());
  EXPECT_TRUE(rig.dialogs.yesNoQuestions.empty());
  EXPECT_EQ(rig.window->findChild<QProgressDialog*>(), nullptr) << "the progress dialog is gone";
}

TEST_F(ToolsTest, the_search_says_when_the_port_cannot_be_used_and_why) {
  {
    const Line::ExchangeScope polling(rig.window->CommLine());
    tools.FindMeter();
  }

  rig.port->SetPortOpen(false);
  rig.port->openablePorts.clear();
  tools.FindMeter();
  EXPECT_FALSE(rig.port->PortOpen()) << "left closed, as it was";

  rig.port->openablePorts = {1};
  rig.port->SetPortOpen(true);
  rig.port->ExpectAnyRequest({});
  rig.pump.onEvents = [&] {
    if (!rig.port->Sent().empty()) rig.port->SetPortOpen(false);
  };
  tools.FindMeter();

  EXPECT_EQ(rig.dialogs.messages,
            (std::vector<QString>{"Com1 is busy with an exchange; try again.", "port 1 cannot be opened",
                                  "Com1 was lost during the search."}));
}

// Ctrl+L lists the meters as the census finds them, polling paused; a row
// opened becomes the meter the window polls, and Watch all hands over the list.
TEST_F(ToolsTest, the_census_lists_the_meters_in_a_table_whose_row_opens_that_meter) {
  MetersOnLine meters({{.slave = 9, .baudRate = 19200, .inputRegisters = {{0, 0}, {1, 0x4148}, {2, 3}}},
                       {.slave = 4, .baudRate = 9600}});
  meters.Attach(*rig.port);
  std::vector<CensusEntry> watched;
  CensusDialog* dialog = tools.Census();
  dialog->onWatchAll = [&](std::vector<CensusEntry> listed) { watched = std::move(listed); };
  std::set<QString> heldBy;
  rig.pump.onEvents = [&] { heldBy.insert(QString::fromStdString(rig.window->CommLine().Holder())); };

  tools.CensusAction()->trigger();

  EXPECT_EQ(heldBy, (std::set<QString>{"census"}));
  EXPECT_FALSE(rig.window->CommLine().Held());
  QTableWidget* table = dialog->Table();
  ASSERT_EQ(table->rowCount(), 2);
  const QStringList rows[] = {{"4", "9600", "", "", "OK"}, {"9", "19200", "12.5", "3", "OK"}};
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 5; ++column) {
      EXPECT_EQ(table->item(row, column)->text(), rows[row][column]) << row << "," << column;
    }
  }
  EXPECT_NE(dialog->findChild<QLabel*>()->text().indexOf("Meters at 9600 and at 19200 share this line."), -1);
  for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
    if (button->text() == "Watch all") button->click();
  }
  ASSERT_EQ(watched.size(), 2u);
  EXPECT_EQ(watched[1].resistanceKohm, 12.5f);

  table->setCurrentCell(1, 0);
  emit table->cellDoubleClicked(1, 0);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(rig.window->MeterInUse(), (MeterAddress{9, 19200}));

  tools.ShowCommissioning();
  EXPECT_EQ(tools.Commissioning()->findChild<QSpinBox*>()->value(), 10) << "one above the highest id the census found";
}

}  // namespace
}  // namespace dornvel::testing

namespace dornvel::testing {
namespace {

// A new meter from the factory, at 1 and 9600 baud with the jumper set,
// reading `resistance` kilohms (the float's register image, low half first).
SimulatedMeter FactoryMeter(std::uint16_t low, std::uint16_t high) {
  SimulatedMeter meter{.slave = 1, .baudRate = 9600};
  meter.jumper = true;
  meter.inputRegisters = {{0, low}, {1, high}, {2, 0}};
  return meter;
}

std::string PdfText(const fs::path& pdf) {
  QProcess pdftotext;
  pdftotext.start(QStringLiteral("pdftotext"), {QString::fromStdString(pdf.string()), QStringLiteral("-")});
  EXPECT_TRUE(pdftotext.waitForFinished(10000));
  // The fonts join "fi" into one glyph, which comes back as U+FB01.
  return QString::fromUtf8(pdftotext.readAllStandardOutput())
      .replace(QChar(0xFB01), QStringLiteral("fi"))
      .toStdString();
}

// Two meters connected one after the other get the next two ids; each row is
// in the folder's report as soon as it is done, and the saved report holds
// both, as CSV and as a PDF with its summary.
TEST_F(ToolsTest, the_commissioning_window_gives_two_meters_in_a_row_the_next_ids_and_keeps_their_rows) {
  const QString folderText = QString::fromStdString(folder.string());
  rig.settings.SaveSetting("Commissioning", "ReportFolder", folderText);
  rig.settings.SaveSetting("Commissioning", "BoudRate", "19200");
  rig.settings.SaveSetting("Commissioning", "Prewarning", "1000");
  rig.settings.SaveSetting("Commissioning", "Alarm", "500");
  tools.CommissionAction()->trigger();
  CommissioningWindow& window = *tools.Commissioning();
  ASSERT_TRUE(window.isVisible());

  MetersOnLine first({FactoryMeter(0x8000, 0x44BB)});  // 1500 kilohms
  first.Attach(*rig.port);
  window.Next();
  MetersOnLine second({FactoryMeter(0x0000, 0x442F)});  // 700 kilohms
  second.Attach(*rig.port);
  rig.clock.Advance(10s);  // the next meter connected
  window.Next();

  const auto& rows = window.Report().rows;
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].newSlaveId, 2);
  EXPECT_EQ(rows[0].verdict, "pass");
  EXPECT_EQ(rows[1].newSlaveId, 3);
  EXPECT_EQ(rows[1].newBaudRate, 19200);
  EXPECT_EQ(rows[1].verdict, "warning");
  auto* table = window.findChild<QTableWidget*>();
  ASSERT_EQ(table->rowCount(), 2);
  EXPECT_EQ(table->item(0, 7)->background().color(), QColor("#c8f0c8"));
  EXPECT_EQ(table->item(1, 7)->background().color(), QColor("#ffe0a0"));
  EXPECT_FALSE(rig.window->CommLine().Held()) << "the line is let go after each meter";

  // Row by row in the folder's report.
  std::vector<fs::path> reports;
  for (const auto& entry : fs::directory_iterator(folder)) reports.push_back(entry.path());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(RowsWithoutTime(reports[0]),
            (std::vector<std::string>{"old_slave_id,old_baud_rate,new_slave_id,new_baud_rate,resistance_kohm,switch,"
                                      "verdict,message",
                                      "1,9600,2,19200,1500,0,pass,", "1,9600,3,19200,700,0,warning,"}));

  ASSERT_TRUE(window.SaveReport(QString::fromStdString((folder / "batch").string()), kSemicolonCsv));
  const std::string saved = RowsWithoutTime(folder / "batch.csv")[2];
  EXPECT_EQ(saved.substr(saved.find(';')), ";1;9600;3;19200;700;0;warning;");
  const std::string pdf = PdfText(folder / "batch.pdf");
  EXPECT_NE(pdf.find("Commissioning report"), std::string::npos) << pdf;
  EXPECT_NE(pdf.find("Baud rate: 19200; prewarning: 1000 kOhm; alarm: 500 kOhm"), std::string::npos) << pdf;
  EXPECT_NE(pdf.find("Pass: 1, warning: 1, fail: 0, not verified: 0"), std::string::npos) << pdf;

  // At the end the PDF goes beside the folder's report.
  window.close();
  fs::path runningPdf = reports[0];
  EXPECT_NE(PdfText(runningPdf.replace_extension(".pdf")).find("Pass: 1, warning: 1"), std::string::npos);

  // The next batch starts one above the last report's highest id.
  fs::remove(folder / "batch.csv");
  EXPECT_EQ(NextSlaveIdAfterReports(folderText), 4);
}

}  // namespace
}  // namespace dornvel::testing
