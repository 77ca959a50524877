#include <gtest/gtest.h>

#include <QLabel>

#include "harness/window_rig.h"
#include "tags/mb_collection.h"

namespace dornvel::testing {
namespace {

using Opening = PortsSerialControl::Opening;

const QString kNoPortChosen = QStringLiteral("Comm Port не выбран!");

TEST(PortChoice, opens_the_port_the_entry_names_at_the_rate_the_rate_list_shows) {
  struct Case {
    const char* entry;
    const char* rateShown;
    std::vector<Opening> openings;
    int port;
    bool message;
  } cases[] = {
      {"Com10", "9600", {{10, "9600,N,8,2", true}}, 10, false},  // the whole number counts
      {"Com3", "19200", {{3, "19200,N,8,2", true}}, 3, false},
      {"Com3", "4800", {{3, "9600,N,8,2", true}}, 3, false},
      {"Com2.5", "9600", {{2, "9600,N,8,2", true}}, 2, false},
      {"Combo1", "9600", {{1, "9600,N,8,2", true}}, 1, false},  // its last character
      {"Com7", "9600", {{7, "9600,N,8,2", false}}, 7, false},   // held by another program
      {"Com0", "9600", {}, kNoPort, false},
      {"Com-3", "9600", {}, kNoPort, false},
      {"Com99999", "9600", {}, kNoPort, false},
      {"xyz", "9600", {}, kNoPort, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    WindowRig rig({1, 2, 3, 5, 10});
    rig.Start();
    ASSERT_TRUE(rig.port->PortOpen());
    rig.port->openings.clear();
    rig.List("ProgBoudRate")->setEditText(QString::fromUtf8(c.rateShown));
    rig.List("ProgCom")->setEditText(QString::fromUtf8(c.entry));
    rig.window->ProgCom_Click();

    EXPECT_EQ(rig.port->openings, c.openings);
    EXPECT_EQ(rig.port->PortOpen(), !c.openings.empty() && c.openings.back().opened);
    EXPECT_EQ(rig.port->CommPort(), c.port);
    EXPECT_EQ(rig.dialogs.messages, c.message ? std::vector<QString>{kNoPortChosen} : std::vector<QString>{});
  }
}

TEST(PortChoice, a_port_that_fails_to_open_leaves_the_port_closed_and_transactions_report_it) {
  WindowRig rig({1, 3});
  rig.Start();
  rig.port->openablePorts = {1};  // port 3 taken by another program since the scan
  rig.List("ProgCom")->setCurrentIndex(1);
  rig.window->ProgCom_Click();
  EXPECT_FALSE(rig.port->PortOpen());

  rig.window->Timer1_Timer();
  EXPECT_TRUE(rig.port->Sent().empty());
  EXPECT_EQ(rig.window->Panel(4)->text().toStdString(), "MBData/GetData: Comm не открыт...");
}

TEST(PortChoice, choosing_an_entry_by_the_user_runs_the_handler_also_for_the_entry_already_chosen) {
  WindowRig rig({3, 5});
  rig.Start();
  rig.port->openings.clear();
  QComboBox* ports = rig.List("ProgCom");
  ports->setCurrentIndex(1);
  emit ports->activated(1);
  emit ports->activated(1);
  EXPECT_EQ(rig.port->openings, (std::vector<Opening>{{5, "9600,N,8,2", true}, {5, "9600,N,8,2", true}}));

  rig.port->openings.clear();
  QComboBox* rates = rig.List("ProgBoudRate");
  rates->setCurrentIndex(1);
  emit rates->activated(1);
  EXPECT_EQ(rig.port->openings, (std::vector<Opening>{{5, "19200,N,8,2", true}}));
}

TEST(RateChoice, reopens_the_port_with_an_offered_rate_and_keeps_the_settings_for_any_other_text) {
  struct Case {
    const char* rateShown;
    std::string settings;
  } cases[] = {
      {"19200", "19200,N,8,2"},  {"9600", "9600,N,8,2"},   {"4800", "9600,N,8,2"},
      {"19200.0", "9600,N,8,2"}, {" 19200", "9600,N,8,2"}, {"", "9600,N,8,2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rateShown);
    WindowRig rig({3});
    rig.Start();
    rig.port->openings.clear();
    rig.List("ProgBoudRate")->setEditText(QString::fromUtf8(c.rateShown));
    rig.window->ProgBoudRate_Click();
    EXPECT_EQ(rig.port->openings, (std::vector<Opening>{{3, c.settings, true}}));
    EXPECT_TRUE(rig.port->PortOpen());
    EXPECT_TRUE(rig.dialogs.messages.empty());
  }
}

TEST(RateChoice, without_any_port_found_the_port_stays_closed) {
  WindowRig rig(std::set<int>{});
  rig.Start();
  rig.List("ProgBoudRate")->setCurrentIndex(1);
  rig.window->ProgBoudRate_Click();
  EXPECT_FALSE(rig.port->PortOpen());
  EXPECT_EQ(rig.port->Settings(), "19200,N,8,2");
}

TEST(SlaveChoice, an_id_from_1_to_247_goes_to_every_tag_and_into_the_box_as_typed) {
  struct Case {
    const char* answer;
    int slave;        // of every tag afterwards
    const char* box;  // ProgSlave afterwards
    bool refused;
  } cases[] = {
      {"1", 1, "1", false},        {"247", 247, "247", false}, {"2.5", 2, "2.5", false}, {"3.5", 4, "3.5", false},
      {" 17 ", 17, " 17 ", false}, {"1e2", 100, "1e2", false}, {"0", 5, "5", true},      {"248", 5, "5", true},
      {"-1", 5, "5", true},        {"abc", 5, "5", true},      {"12abc", 5, "5", true},  {"", 5, "5", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    WindowRig rig;
    rig.settings.values = {{"Properties/Slave", "5"}};
    rig.Start();
    rig.dialogs.Answer(QString::fromUtf8(c.answer));
    rig.window->ProgSlave_Click();

    ASSERT_EQ(rig.dialogs.questions.size(), 1u);
    EXPECT_EQ(rig.dialogs.questions[0].prompt, "Enter new SlaveId (1..247)");
    EXPECT_EQ(rig.dialogs.questions[0].title, "SlaveID");
    EXPECT_EQ(rig.dialogs.questions[0].defaultAnswer, "5");
    for (const MBData& tag : *rig.window->Tags()) EXPECT_EQ(tag.Slave, c.slave) << tag.TagName;
    EXPECT_EQ(rig.Box("ProgSlave")->text(), QString::fromUtf8(c.box));
    EXPECT_EQ(rig.dialogs.messages, c.refused ? std::vector<QString>{"invalid SlaveID"} : std::vector<QString>{});
  }
}

TEST(SlaveChoice, every_tag_addresses_the_new_slave_from_its_next_request_on) {
  WindowRig rig;
  rig.Start();
  rig.dialogs.Answer("2.5");
  rig.window->ProgSlave_Click();
  rig.port->Expect("02 04 00 00 00 02 71 F8");
  rig.port->Expect("02 04 00 02 00 01 90 39");
  rig.port->Expect("02 03 00 00 00 01 84 39");
  rig.port->Expect("02 03 00 01 00 01 D5 F9");
  rig.window->Timer1_Timer();
}

}  // namespace
}  // namespace dornvel::testing
