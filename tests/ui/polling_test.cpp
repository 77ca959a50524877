#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <array>
#include <set>
#include <string>

#include "harness/device_frames.h"
#include "harness/test_crc.h"
#include "harness/window_rig.h"
#include "protocol/line.h"
#include "tags/mb_collection.h"

namespace dornvel::testing {
namespace {

using Sent = std::vector<std::string>;

struct PollingTest : ::testing::Test {
  PollingTest() { rig.Start(); }

  QProgressBar* Bar() const { return rig.window->findChild<QProgressBar*>(QStringLiteral("ProgressBar1")); }
  void ExpectShown(const char* box, const char* text, const QColor& background) const {
    SCOPED_TRACE(box);
    EXPECT_EQ(rig.Box(box)->text(), text);
    EXPECT_EQ(rig.Background(box), background);
  }

  WindowRig rig;
};

TEST_F(PollingTest, the_first_tick_reads_the_four_tags_in_order_and_shows_them_with_their_patterns) {
  ASSERT_NE(rig.NormalBackground(), rig.ErrorBackground());
  rig.AnswerFirstTick();
  rig.window->Timer1_Timer();

  EXPECT_EQ(rig.port->Sent(),
            (Sent{frames::kReadNolu, frames::kReadSwitch, frames::kReadSlaveId, frames::kReadBoudrate}));
  ExpectShown("nolu", "13", rig.NormalBackground());  // 12.5 rounds away from zero
  ExpectShown("switch", "07", rig.NormalBackground());
  ExpectShown("slaveid", "0001", rig.NormalBackground());
  ExpectShown("Boudrate", "9600", rig.NormalBackground());
}

TEST_F(PollingTest, later_ticks_read_the_input_registers_only) {
  rig.AnswerFirstTick();
  rig.window->Timer1_Timer();
  rig.port->ExpectReply(frames::kReadNolu, frames::kNolu12_4);
  rig.port->ExpectReply(frames::kReadSwitch, frames::kSwitch0);
  rig.window->Timer1_Timer();

  EXPECT_EQ(rig.port->Sent().size(), 6u);
  ExpectShown("nolu", "12", rig.NormalBackground());
  ExpectShown("switch", "00", rig.NormalBackground());
  ExpectShown("slaveid", "0001", rig.NormalBackground());
  ExpectShown("Boudrate", "9600", rig.NormalBackground());
}

TEST_F(PollingTest, the_progress_bar_is_full_while_the_tags_are_polled_and_empty_after) {
  rig.AnswerFirstTick();
  std::set<int> valuesDuringExchanges;
  rig.pump.onEvents = [&] {
    if (!rig.window->CommLine().ExchangeRunning()) return;
    valuesDuringExchanges.insert(Bar()->value());
    EXPECT_EQ(Bar()->minimum(), 0);
    EXPECT_EQ(Bar()->maximum(), 4);
  };
  rig.window->Timer1_Timer();
  rig.pump.onEvents = nullptr;

  EXPECT_EQ(valuesDuringExchanges, std::set<int>{4});
  EXPECT_EQ(Bar()->value(), 0);
  EXPECT_EQ(Bar()->maximum(), 4);
}

// Counts the paints a widget receives.
struct PaintCounter : QObject {
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

TEST_F(PollingTest, the_progress_bar_is_painted_by_the_event_loop_not_at_each_step_of_the_tick) {
  rig.AnswerFirstTick();
  QCoreApplication::processEvents();
  PaintCounter bar(Bar());
  rig.window->Timer1_Timer();  // the fake pump runs no Qt events
  EXPECT_EQ(bar.paints, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(bar.paints, 1);
}

TEST_F(PollingTest, the_progress_bar_leaves_no_trace_on_the_screen_once_the_tick_is_over) {
  rig.AnswerFirstTick();
  QCoreApplication::processEvents();
  const QRect barArea(Bar()->mapTo(rig.window.get(), QPoint(0, 0)), Bar()->size());
  const auto onScreen = [&] { return rig.window->screen()->grabWindow(rig.window->winId()).toImage().copy(barArea); };
  const QImage empty = onScreen();
  QImage full;
  rig.pump.onEvents = [&] {
    QCoreApplication::processEvents();
    if (full.isNull()) full = onScreen();
  };
  rig.window->Timer1_Timer();
  rig.pump.onEvents = nullptr;
  QCoreApplication::processEvents();

  ASSERT_NE(full, empty) << "the full bar never reached the screen";
  EXPECT_EQ(onScreen(), empty);
}

TEST_F(PollingTest, a_refused_reply_greys_the_box_with_its_last_good_value_until_the_next_good_reply) {
  rig.AnswerFirstTick();
  rig.window->Timer1_Timer();

  rig.port->ExpectReply(frames::kReadNolu, frames::kNolu12_5);
  rig.port->ExpectReply(frames::kReadSwitch, frames::kSwitchBadCrc);
  rig.window->Timer1_Timer();
  ExpectShown("nolu", "13", rig.NormalBackground());
  ExpectShown("switch", "07", rig.ErrorBackground());

  // No reply at all: value and colour stay.
  rig.port->ExpectReply(frames::kReadNolu, frames::kNolu12_5);
  rig.port->Expect(frames::kReadSwitch);
  rig.window->Timer1_Timer();
  ExpectShown("switch", "07", rig.ErrorBackground());
  EXPECT_EQ(rig.window->Panel(4)->text().toStdString(), "MBdata/GetData: Timout при получении пакета switch");
  EXPECT_EQ(rig.window->Panel(3)->text(), "2");

  rig.port->ExpectReply(frames::kReadNolu, frames::kNolu12_5);
  rig.port->ExpectReply(frames::kReadSwitch, frames::kSwitch0);
  rig.window->Timer1_Timer();
  ExpectShown("switch", "00", rig.NormalBackground());
}

TEST_F(PollingTest, a_value_never_read_shows_an_empty_box) {
  rig.port->Expect(frames::kReadNolu);
  rig.port->ExpectReply(frames::kReadSwitch, frames::kSwitch7);
  rig.port->Expect(frames::kReadSlaveId);
  rig.port->Expect(frames::kReadBoudrate);
  rig.window->Timer1_Timer();
  ExpectShown("nolu", "", rig.ErrorBackground());
  ExpectShown("switch", "07", rig.NormalBackground());
  ExpectShown("slaveid", "", rig.ErrorBackground());
  ExpectShown("Boudrate", "", rig.ErrorBackground());
}

// A value shows on the normal background only while the device confirms it:
// its tag's last exchange was answered without error, and the device answered
// something this tick (the slave id and rate are read once, at the start).
TEST_F(PollingTest, a_value_the_device_did_not_confirm_is_greyed_until_the_next_good_reply) {
  const char* kNone = nullptr;
  const char* kException = "01 84 02 C2 C1";
  const char* kNoluBadCrc = "01 04 04 00 00 41 48 CB E3";
  const auto Reply = [](const char* hex) {
    return hex ? std::vector<ScriptedSerialControl::Chunk>{{5ms, FromHex(hex)}}
               : std::vector<ScriptedSerialControl::Chunk>{};
  };
  struct Case {
    const char* what;
    const char* noluReply;
    const char* switchReply;
    bool portClosed;
    std::array<bool, 4> grey;  // nolu, switch, slaveid, Boudrate
  } cases[] = {
      {"all answered", frames::kNolu12_4, frames::kSwitch0, false, {false, false, false, false}},
      {"nolu timed out", kNone, frames::kSwitch0, false, {true, false, false, false}},
      {"nolu refused", kNoluBadCrc, frames::kSwitch0, false, {true, false, false, false}},
      {"nolu an exception", kException, frames::kSwitch0, false, {true, false, false, false}},
      {"nothing answered", kNone, kNone, false, {true, true, true, true}},
      {"port closed", kNone, kNone, true, {true, true, true, true}},
  };
  const char* boxes[] = {"nolu", "switch", "slaveid", "Boudrate"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WindowRig rig;
    rig.Start();
    rig.AnswerFirstTick();
    rig.window->Timer1_Timer();
    if (c.portClosed) {
      rig.port->SetPortOpen(false);
      rig.port->openablePorts.clear();
    } else {
      rig.port->Expect(frames::kReadNolu, Reply(c.noluReply));
      rig.port->Expect(frames::kReadSwitch, Reply(c.switchReply));
    }
    rig.window->Timer1_Timer();
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(rig.Background(boxes[i]), c.grey[i] ? rig.ErrorBackground() : rig.NormalBackground()) << boxes[i];
    }
    EXPECT_FALSE(rig.Box("slaveid")->text().isEmpty()) << "the last value stays to be read";

    rig.port->openablePorts = {1};
    rig.port->ExpectReply(frames::kReadNolu, frames::kNolu12_5);
    rig.port->ExpectReply(frames::kReadSwitch, frames::kSwitch7);
    rig.window->Timer1_Timer();
    for (const char* box : boxes) EXPECT_EQ(rig.Background(box), rig.NormalBackground()) << "after, " << box;
  }
}

// A number wider than its box reads right in a shorter form, never cut to its
// tail; the exact number is in the tooltip. NaN and infinity are no reading.
TEST(PollingDisplay, a_number_too_wide_for_its_box_is_shown_shorter_with_the_exact_one_in_its_tooltip) {
  const struct {
    const char* registers;  // the float's two registers, low one first
    const char* exact;
    bool shorter;
    bool grey;
  } cases[] = {
      {"00 00 41 48", "13", false, false},       {"BC 20 4C BE", "100000000", true, false},
      {"79 A3 4C EB", "123456792", true, false}, {"79 A3 CC EB", "-123456792", true, false},
      {"00 00 7F C0", "NaN", false, true},       {"00 00 7F 80", "Inf", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exact);
    WindowRig rig;
    rig.Start();
    rig.port->ExpectReply(frames::kReadNolu, ToHex(WithCrc(FromHex(std::string("01 04 04 ") + c.registers))));
    rig.port->ExpectReply(frames::kReadSwitch, frames::kSwitch7);
    rig.port->ExpectReply(frames::kReadSlaveId, frames::kSlaveId1);
    rig.port->ExpectReply(frames::kReadBoudrate, frames::kBoudrate9600);
    rig.window->Timer1_Timer();

    const QLineEdit* box = rig.Box("nolu");
    EXPECT_LT(box->fontMetrics().horizontalAdvance(box->text()), box->width()) << box->text().toStdString();
    if (c.shorter) {
      EXPECT_NE(box->text(), c.exact);
      EXPECT_NEAR(box->text().toDouble() / std::stod(c.exact), 1.0, 5e-3) << box->text().toStdString();
      EXPECT_EQ(box->toolTip(), c.exact);
    } else {
      EXPECT_EQ(box->text(), c.exact);
      EXPECT_EQ(box->toolTip(), "");
    }
    EXPECT_EQ(rig.Background("nolu"), c.grey ? rig.ErrorBackground() : rig.NormalBackground());
  }
}

TEST_F(PollingTest, a_missing_tag_keeps_its_text_gets_the_normal_background_and_the_others_go_on) {
  rig.AnswerFirstTick();
  rig.window->Timer1_Timer();
  rig.port->ExpectReply(frames::kReadNolu, frames::kNolu12_5);
  rig.port->ExpectReply(frames::kReadSwitch, frames::kSwitchBadCrc);
  rig.window->Timer1_Timer();
  ExpectShown("switch", "07", rig.ErrorBackground());

  rig.window->Tags()->Remove(std::string("switch"));
  rig.Tag("slaveid").ReadReq = true;
  rig.port->ExpectReply(frames::kReadNolu, frames::kNolu12_5);
  rig.port->ExpectReply(frames::kReadSlaveId, frames::kSlaveId1);
  rig.window->Timer1_Timer();

  ExpectShown("switch", "07", rig.NormalBackground());
  ExpectShown("slaveid", "0001", rig.NormalBackground());
  EXPECT_EQ(rig.port->Sent().back(), frames::kReadSlaveId);
}

TEST_F(PollingTest, a_value_the_tag_cannot_encode_skips_its_refresh_and_the_tick_goes_on) {
  rig.Tag("slaveid").SetData(70000.0);  // more than a register holds
  rig.port->ExpectReply(frames::kReadNolu, frames::kNolu12_5);
  rig.port->ExpectReply(frames::kReadSwitch, frames::kSwitch7);
  rig.port->ExpectReply(frames::kReadBoudrate, frames::kBoudrate9600);
  rig.window->Timer1_Timer();
  ExpectShown("slaveid", "70000", rig.NormalBackground());
  ExpectShown("Boudrate", "9600", rig.NormalBackground());
}

TEST_F(PollingTest, a_tick_that_fires_during_an_exchange_is_skipped_and_comm_busy_stays_false) {
  rig.AnswerFirstTick();
  QSignalSpy ticks(rig.window.get(), &FormMain::tickFinished);
  int nestedTicks = 0;
  rig.pump.onEvents = [&] {
    if (!rig.window->CommLine().ExchangeRunning()) return;
    EXPECT_FALSE(rig.window->CommBusy());
    const auto sentBefore = rig.port->Sent().size();
    ++nestedTicks;
    rig.window->Timer1_Timer();
    EXPECT_EQ(rig.port->Sent().size(), sentBefore) << "a nested tick used the port";
  };
  rig.window->Timer1_Timer();
  rig.pump.onEvents = nullptr;

  EXPECT_GT(nestedTicks, 0);
  EXPECT_EQ(ticks.count(), 1);
  EXPECT_EQ(rig.port->Sent().size(), 4u);
  ExpectShown("Boudrate", "9600", rig.NormalBackground());
}

TEST_F(PollingTest, closing_during_an_exchange_saves_stops_and_ends_the_tick_after_that_tag) {
  rig.port->Expect(frames::kReadNolu, {{5ms, FromHex(frames::kNolu12_5)}});
  bool closed = false;
  rig.pump.onEvents = [&] {
    if (closed || !rig.window->CommLine().ExchangeRunning()) return;
    closed = true;
    rig.window->close();
    EXPECT_NE(rig.window->Tags(), nullptr) << "tags released under the running tick";
  };
  QSignalSpy ticks(rig.window.get(), &FormMain::tickFinished);
  rig.window->Timer1_Timer();

  EXPECT_TRUE(closed);
  EXPECT_EQ(rig.port->Sent(), Sent{frames::kReadNolu});
  EXPECT_FALSE(rig.port->PortOpen());
  // The exchange ended on the closed port instead of waiting out its time-out.
  EXPECT_EQ(rig.window->Panel(4)->text().toStdString(), "MBData/GetData: Comm не открыт...");
  EXPECT_EQ(rig.window->Panel(3)->text(), "");
  EXPECT_EQ(rig.settings.commits, 1);
  EXPECT_EQ(rig.settings.committed["Properties/ComPort"], "Com1");
  EXPECT_EQ(rig.window->Tags(), nullptr);
  EXPECT_EQ(ticks.count(), 1);
  EXPECT_FALSE(rig.window->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());

  // Later ticks find nothing to do, and the window goes without running anything.
  rig.window->Timer1_Timer();
  EXPECT_EQ(ticks.count(), 1);
  rig.pump.onEvents = nullptr;
  rig.window.reset();
  rig.pump.ProcessEvents();
}

}  // namespace
}  // namespace dornvel::testing
