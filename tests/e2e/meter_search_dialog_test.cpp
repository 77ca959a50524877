#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <string>
#include <vector>

#include "harness/program_window.h"
#include "harness/pseudo_terminal.h"
#include "harness/simulator.h"
#include "harness/temp_dir.h"
#include "harness/traffic_log.h"
#include "protocol/line.h"
#include "protocol/serial_control.h"

namespace dornvel::testing {
namespace {

using namespace std::chrono_literals;

// The program's window with Com1 on `device`, started: its port open at
// 9600 baud, slave 1, from which its tools search for the meter.
struct SearchOnLine {
  explicit SearchOnLine(const std::string& device) : program({{1, device}}) { program.Start(); }

  void Find() { program.Tools().FindMeter(); }

  void ExpectPortAsBefore() {
    const SerialControl& port = program.Window().MSComm();
    EXPECT_EQ(port.CommPort(), 1);
    EXPECT_EQ(port.Settings(), "9600,N,8,2");
    EXPECT_TRUE(port.PortOpen());
    EXPECT_FALSE(program.Window().CommLine().Held());
  }
  // The slave id and rate the window would poll with.
  void ExpectWindowAsBefore() {
    EXPECT_EQ(program.Window().findChild<QLineEdit*>(QStringLiteral("ProgSlave"))->text(), "1");
    EXPECT_EQ(program.Window().findChild<QComboBox*>(QStringLiteral("ProgBoudRate"))->currentText(), "9600");
  }

  ProgramWindow program;
  ScriptedDialogs& dialogs = program.Dialogs();
};

// Clicks Cancel, or presses Escape, on the progress dialog once it has shown
// its fifth probe; notes how many probes it had shown then.
void StopAtTheFifthProbe(const QWidget& window, bool byEscape, int& shownWhenStopped) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [=, &window, &shownWhenStopped] {
    auto* dialog = window.findChild<QProgressDialog*>();
    if (!dialog || !dialog->isVisible() || dialog->value() < 5) return;
    poll->stop();
    poll->deleteLater();
    shownWhenStopped = dialog->value();
    if (byEscape) {
      QTest::keyClick(dialog, Qt::Key_Escape);
    } else {
      QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
    }
  });
  poll->start(5);
}

TEST(MeterSearchDialog, a_meter_found_and_declined_gives_nothing_to_apply) {
  TempDir dir;
  Simulator sim(dir, {"--slave", "2", "--baud", "9600"});
  SearchOnLine search(sim.Path());
  search.dialogs.AnswerYes(false);

  search.Find();
  EXPECT_EQ(search.dialogs.yesNoQuestions,
            std::vector<QString>{"Meter found: slave id 2 at 9600 baud. Use these settings?"});
  search.ExpectPortAsBefore();
  search.ExpectWindowAsBefore();
}

TEST(MeterSearchDialog, cancel_or_escape_stops_the_search_at_once) {
  for (bool byEscape : {false, true}) {
    SCOPED_TRACE(byEscape ? "Escape" : "Cancel");
    TempDir dir;
    Simulator sim(dir, {"--slave", "37", "--baud", "19200"});
    SearchOnLine search(sim.Path());
    int shownWhenStopped = 0;
    StopAtTheFifthProbe(search.program.Window(), byEscape, shownWhenStopped);

    search.Find();

    EXPECT_TRUE(search.dialogs.yesNoQuestions.empty());
    EXPECT_TRUE(search.dialogs.messages.empty());
    search.ExpectPortAsBefore();
    sim.Stop();
    // The probe shown last went out, unless the stop came while it was shown.
    const auto heard = static_cast<int>(Requests(TrafficLog(sim.Log())).size());
    EXPECT_LE(heard, shownWhenStopped) << "a probe went out after the stop";
    EXPECT_GE(heard, shownWhenStopped - 1);
  }
}

TEST(MeterSearchDialog, with_no_meter_on_the_line_says_what_was_tried) {
  PseudoTerminal line;
  SearchOnLine search(line.SlavePath());

  search.Find();

  EXPECT_TRUE(search.dialogs.yesNoQuestions.empty());
  ASSERT_EQ(search.dialogs.messages.size(), 1u);
  EXPECT_EQ(search.dialogs.messages[0],
            "No meter answered on Com1: slave ids 1 to 247 were asked at 9600 and 19200 baud.");
  search.ExpectPortAsBefore();
  const termios settings = line.Line();
  EXPECT_EQ(cfgetospeed(&settings), B9600) << "the line is back at 9600 baud";
}

}  // namespace
}  // namespace dornvel::testing
