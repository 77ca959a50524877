#include <gtest/gtest.h>

#include <QTest>

#include "harness/device_frames.h"
#include "harness/window_rig.h"
#include "tags/mb_collection.h"

namespace dornvel::testing {
namespace {

// Starts the window and runs the first tick: the device has slave id 1 and 9600 baud.
void StartAndReadDevice(WindowRig& rig) {
  rig.Start();
  rig.AnswerFirstTick();
  rig.window->Timer1_Timer();
}

TEST(Reconfigure, the_device_slave_id_takes_1_to_247_and_an_integer_tag_keeps_the_whole_number) {
  struct Case {
    const char* answer;
    bool writes;
    double value;  // of the tag afterwards
    bool refused;
  } cases[] = {
      {"5", true, 5, false}, {"247", true, 247, false}, {"2.5", true, 2, false}, {"1", false, 1, false},
      {"0", false, 1, true}, {"248", false, 1, true},   {"abc", false, 1, true}, {"", false, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    WindowRig rig;
    StartAndReadDevice(rig);
    rig.dialogs.Answer(QString::fromUtf8(c.answer));
    rig.window->slaveid_Click();

    ASSERT_EQ(rig.dialogs.questions.size(), 1u);
    EXPECT_EQ(rig.dialogs.questions[0].prompt, "Enter new SlaveId (1..247)");
    EXPECT_EQ(rig.dialogs.questions[0].title, "SlaveID");
    EXPECT_EQ(rig.dialogs.questions[0].defaultAnswer, "1");
    EXPECT_EQ(rig.Tag("slaveid").WriteReq(), c.writes);
    EXPECT_EQ(*rig.Tag("slaveid").Data().Number(), c.value);
    EXPECT_EQ(rig.dialogs.messages, c.refused ? std::vector<QString>{"invalid SlaveID"} : std::vector<QString>{});
    for (const MBData& tag : *rig.window->Tags()) EXPECT_EQ(tag.Slave, 1) << "the computer's slave id changed";
    EXPECT_EQ(rig.Box("ProgSlave")->text(), "1");
  }
}

TEST(Reconfigure, the_device_baud_rate_takes_9600_or_19200_as_numbers) {
  struct Case {
    const char* answer;
    bool writes;
    double value;
    bool refused;
  } cases[] = {
      {"19200", true, 19200, false},  {"9600", false, 9600, false}, {"9600.0", false, 9600, false},
      {"1.92e4", true, 19200, false}, {"4800", false, 9600, true},  {"38400", false, 9600, true},
      {"fast", false, 9600, true},    {"", false, 9600, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    WindowRig rig;
    StartAndReadDevice(rig);
    rig.dialogs.Answer(QString::fromUtf8(c.answer));
    rig.window->Boudrate_Click();

    ASSERT_EQ(rig.dialogs.questions.size(), 1u);
    EXPECT_EQ(rig.dialogs.questions[0].prompt, "Enter new BoudRate (9600,19200)");
    EXPECT_EQ(rig.dialogs.questions[0].title, "Boud Rate");
    EXPECT_EQ(rig.dialogs.questions[0].defaultAnswer, "9600");
    EXPECT_EQ(rig.Tag("boudrate").WriteReq(), c.writes);
    EXPECT_EQ(*rig.Tag("boudrate").Data().Number(), c.value);
    EXPECT_EQ(rig.dialogs.messages, c.refused ? std::vector<QString>{"invalid BoudRate"} : std::vector<QString>{});
    EXPECT_EQ(rig.port->Settings(), "9600,N,8,2") << "the computer's port changed";
  }
}

TEST(Reconfigure, a_new_value_reaches_the_line_on_the_next_tick_and_the_box_shows_what_was_sent) {
  WindowRig rig;
  StartAndReadDevice(rig);
  rig.dialogs.Answer("2.5");
  rig.window->slaveid_Click();
  rig.dialogs.Answer("19200");
  rig.window->Boudrate_Click();
  EXPECT_EQ(rig.Box("slaveid")->text(), "0001") << "the box changes with the tick, not before";

  rig.port->ExpectReply(frames::kReadNolu, frames::kNolu12_5);
  rig.port->ExpectReply(frames::kReadSwitch, frames::kSwitch7);
  rig.port->ExpectReply("01 10 00 00 00 01 02 00 02 27 91", "01 10 00 00 00 01 01 C9");
  rig.port->ExpectReply("01 10 00 01 00 01 02 4B 00 91 71", "01 10 00 01 00 01 50 09");
  rig.window->Timer1_Timer();

  EXPECT_EQ(rig.Box("slaveid")->text(), "0002");
  EXPECT_EQ(rig.Box("Boudrate")->text(), "19200");
  EXPECT_FALSE(rig.Tag("slaveid").WriteReq());
  EXPECT_FALSE(rig.Tag("boudrate").WriteReq());
}

TEST(Reconfigure, a_value_not_read_yet_gives_an_empty_default_answer) {
  WindowRig rig;
  rig.Start();
  rig.dialogs.Answer("");
  rig.window->slaveid_Click();
  ASSERT_EQ(rig.dialogs.questions.size(), 1u);
  EXPECT_EQ(rig.dialogs.questions[0].defaultAnswer, "");
}

TEST(Reconfigure, a_window_closed_while_the_box_is_open_takes_no_answer) {
  WindowRig rig;
  StartAndReadDevice(rig);
  rig.dialogs.whileAsking = [&] { rig.window->close(); };
  rig.dialogs.Answer("5");
  rig.window->slaveid_Click();
  EXPECT_EQ(rig.window->Tags(), nullptr);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(Reconfigure, clicks_on_the_three_value_boxes_open_their_input_boxes) {
  WindowRig rig;
  StartAndReadDevice(rig);
  rig.dialogs.Answer("");
  rig.dialogs.Answer("");
  rig.dialogs.Answer("");
  QTest::mouseClick(rig.Box("slaveid"), Qt::LeftButton);
  QTest::mouseClick(rig.Box("Boudrate"), Qt::LeftButton);
  QTest::mouseClick(rig.Box("ProgSlave"), Qt::LeftButton);
  QTest::mouseClick(rig.Box("nolu"), Qt::LeftButton);
  QTest::mouseClick(rig.Box("slaveid"), Qt::RightButton);
  ASSERT_EQ(rig.dialogs.questions.size(), 3u);
  EXPECT_EQ(rig.dialogs.questions[0].title, "SlaveID");
  EXPECT_EQ(rig.dialogs.questions[1].title, "Boud Rate");
  EXPECT_EQ(rig.dialogs.questions[2].title, "SlaveID");
  EXPECT_EQ(rig.dialogs.questions[2].defaultAnswer, "1");
}

}  // namespace
}  // namespace dornvel::testing
