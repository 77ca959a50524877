#include "ui/meter_search_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <string>
#include <vector>

#include "harness/port_map.h"
#include "harness/pseudo_terminal.h"
#include "harness/scripted_dialogs.h"
#include "harness/simulator.h"
#include "harness/temp_dir.h"
#include "harness/traffic_log.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_serial_control.h"
#include "platform/steady_clock.h"
#include "protocol/line.h"

namespace dornvel::testing {
namespace {

using namespace std::chrono_literals;

// The real Qt serial control as Com1 on `device`, open at 9600 baud as the
// window leaves it, and the search started from slave 1 at 9600 baud.
struct SearchOnLine {
  explicit SearchOnLine(const std::string& device) : ports({{1, device}}) {
    port.SetSettings("9600,N,8,2");
    port.SetPortOpen(true);
  }

  std::optional<MeterAddress> Find() { return FindMeter(nullptr, line, {pump, clock}, {1, 9600}, dialogs, dialogs); }

  void ExpectPortAsBefore() {
    EXPECT_EQ(port.CommPort(), 1);
    EXPECT_EQ(port.Settings(), "9600,N,8,2");
    EXPECT_TRUE(port.PortOpen());
    EXPECT_FALSE(line.Held());
  }

  ScopedPortMap ports;
  SteadyClock clock;
  QtEventPump pump;
  QtSerialControl port;
  Line line{port};
  ScriptedDialogs dialogs;
};

// Clicks Cancel, or presses Escape, on the progress dialog once it has shown
// its fifth probe; notes how many probes it had shown then.
void StopAtTheFifthProbe(bool byEscape, int& shownWhenStopped) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [=, &shownWhenStopped] {
    auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    if (!dialog || dialog->value() < 5) return;
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

  EXPECT_FALSE(search.Find());
  EXPECT_EQ(search.dialogs.yesNoQuestions.size(), 1u);
  search.ExpectPortAsBefore();
}

TEST(MeterSearchDialog, cancel_or_escape_stops_the_search_at_once) {
  for (bool byEscape : {false, true}) {
    SCOPED_TRACE(byEscape ? "Escape" : "Cancel");
    TempDir dir;
    Simulator sim(dir, {"--slave", "37", "--baud", "19200"});
    SearchOnLine search(sim.Path());
    int shownWhenStopped = 0;
    StopAtTheFifthProbe(byEscape, shownWhenStopped);

    EXPECT_FALSE(search.Find());

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

  EXPECT_FALSE(search.Find());

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
