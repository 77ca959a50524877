#include <gtest/gtest.h>

#include <QTimer>
#include <map>
#include <vector>

#include "harness/device_frames.h"
#include "harness/window_rig.h"
#include "tags/mb_collection.h"

namespace dornvel::testing {
namespace {

QStringList Entries(QComboBox* list) {
  QStringList entries;
  for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
  return entries;
}

TEST(StartUp, restores_the_settings_and_opens_the_chosen_port_through_the_list_handlers) {
  struct Case {
    const char* what;
    std::set<int> openablePorts;
    std::map<QString, QString> stored;
    QStringList entries;
    QString portShown;
    bool portOpen;
    int port;
    std::string lineSettings;
    QString rateShown;
    QString slaveShown;
    int slave;
  } cases[] = {
      {"first start, ports 3 and 5", {3, 5}, {}, {"Com3", "Com5"}, "Com3", true, 3, "9600,N,8,2", "9600", "1", 1},
      {"saved Com5",
       {3, 5},
       {{"Properties/ComPort", "Com5"}},
       {"Com3", "Com5"},
       "Com5",
       true,
       5,
       "9600,N,8,2",
       "9600",
       "1",
       1},
      {"saved Com7 missing",
       {3, 5},
       {{"Properties/ComPort", "Com7"}},
       {"Com3", "Com5"},
       "Com7",
       false,
       kNoPort,
       "9600,N,8,2",
       "9600",
       "1",
       1},
      {"saved text no port",
       {3, 5},
       {{"Properties/ComPort", "Combo1"}},
       {"Com3", "Com5"},
       "Com3",
       true,
       3,
       "9600,N,8,2",
       "9600",
       "1",
       1},
      {"saved 19200",
       {3, 5},
       {{"Properties/BoudRate", "19200"}},
       {"Com3", "Com5"},
       "Com3",
       true,
       3,
       "19200,N,8,2",
       "19200",
       "1",
       1},
      {"saved 4800", {3}, {{"Properties/BoudRate", "4800"}}, {"Com3"}, "Com3", true, 3, "9600,N,8,2", "9600", "1", 1},
      {"saved slave 17", {3}, {{"Properties/Slave", "17"}}, {"Com3"}, "Com3", true, 3, "9600,N,8,2", "9600", "17", 17},
      {"saved slave 2.5",
       {3},
       {{"Properties/Slave", "2.5"}},
       {"Com3"},
       "Com3",
       true,
       3,
       "9600,N,8,2",
       "9600",
       "2.5",
       2},
      {"saved slave 0", {3}, {{"Properties/Slave", "0"}}, {"Com3"}, "Com3", true, 3, "9600,N,8,2", "9600", "1", 1},
      {"saved slave 247",
       {3},
       {{"Properties/Slave", "247"}},
       {"Com3"},
       "Com3",
       true,
       3,
       "9600,N,8,2",
       "9600",
       "247",
       247},
      {"saved slave 248", {3}, {{"Properties/Slave", "248"}}, {"Com3"}, "Com3", true, 3, "9600,N,8,2", "9600", "1", 1},
      {"saved slave 0.4", {3}, {{"Properties/Slave", "0.4"}}, {"Com3"}, "Com3", true, 3, "9600,N,8,2", "9600", "1", 1},
      {"saved slave empty", {3}, {{"Properties/Slave", ""}}, {"Com3"}, "Com3", true, 3, "9600,N,8,2", "9600", "1", 1},
      {"saved slave letters",
       {3},
       {{"Properties/Slave", "abc"}},
       {"Com3"},
       "Com3",
       true,
       3,
       "9600,N,8,2",
       "9600",
       "1",
       1},
      {"saved slave 256", {3}, {{"Properties/Slave", "256"}}, {"Com3"}, "Com3", true, 3, "9600,N,8,2", "9600", "1", 1},
      {"saved slave -1", {3}, {{"Properties/Slave", "-1"}}, {"Com3"}, "Com3", true, 3, "9600,N,8,2", "9600", "1", 1},
      {"ports above 16 never probed", {3, 17, 20}, {}, {"Com3"}, "Com3", true, 3, "9600,N,8,2", "9600", "1", 1},
      {"no port at all",
       {},
       {{"Properties/ComPort", "Com2"}},
       {},
       "Com2",
       false,
       kNoPort,
       "9600,N,8,2",
       "9600",
       "1",
       1},
      {"no port, none saved", {}, {}, {}, "Combo1", false, kNoPort, "9600,N,8,2", "9600", "1", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WindowRig rig(c.openablePorts);
    rig.settings.values = c.stored;
    rig.Start();

    EXPECT_EQ(Entries(rig.List("ProgCom")), c.entries);
    EXPECT_EQ(rig.List("ProgCom")->currentText(), c.portShown);
    EXPECT_EQ(rig.port->PortOpen(), c.portOpen);
    EXPECT_EQ(rig.port->CommPort(), c.port);
    EXPECT_EQ(rig.port->Settings(), c.lineSettings);
    EXPECT_EQ(Entries(rig.List("ProgBoudRate")), QStringList({"9600", "19200"}));
    EXPECT_EQ(rig.List("ProgBoudRate")->currentText(), c.rateShown);
    EXPECT_EQ(rig.Box("ProgSlave")->text(), c.slaveShown);
    ASSERT_NE(rig.window->Tags(), nullptr);
    for (const MBData& tag : *rig.window->Tags()) EXPECT_EQ(tag.Slave, c.slave) << tag.TagName;
    EXPECT_TRUE(rig.dialogs.messages.empty());
  }
}

// The saved port's adapter is unplugged: no other port is used in its place,
// its name is kept, and it is used from the first tick after it is plugged in,
// unless the user has chosen another port by then.
TEST(StartUp, a_saved_port_that_is_not_there_is_waited_for_and_kept) {
  for (const bool userChoosesCom3 : {false, true}) {
    SCOPED_TRACE(userChoosesCom3 ? "the user chooses Com3" : "the user waits");
    WindowRig rig({3});
    rig.settings.values = {{"Properties/ComPort", "Com5"}};
    rig.Start();
    EXPECT_TRUE(rig.List("ProgCom")->toolTip().startsWith("Com5, the port last used, is not there: port 5 cannot"))
        << rig.List("ProgCom")->toolTip().toStdString();
    rig.window->Timer1_Timer();
    EXPECT_TRUE(rig.port->Sent().empty());

    if (userChoosesCom3) {
      rig.List("ProgCom")->setCurrentIndex(0);
      rig.window->ProgCom_Click();
    }
    rig.port->openablePorts.insert(5);
    rig.port->presentPorts.insert(5);
    rig.AnswerFirstTick();
    rig.window->Timer1_Timer();

    EXPECT_EQ(rig.port->CommPort(), userChoosesCom3 ? 3 : 5);
    EXPECT_EQ(rig.List("ProgCom")->currentText(), userChoosesCom3 ? "Com3" : "Com5");
    EXPECT_EQ(rig.List("ProgCom")->toolTip(), "");
    EXPECT_EQ(rig.Box("Boudrate")->text(), "9600");
    rig.window->Form_Unload();
    EXPECT_EQ(rig.settings.values["Properties/ComPort"], userChoosesCom3 ? "Com3" : "Com5");
  }
}

TEST(StartUp, a_saved_port_not_there_is_saved_again_on_closing) {
  WindowRig rig({3});
  rig.settings.values = {{"Properties/ComPort", "Com5"}};
  rig.Start();
  rig.window->Form_Unload();
  EXPECT_EQ(rig.settings.values["Properties/ComPort"], "Com5");
}

TEST(StartUp, probes_ports_1_to_16_at_9600_n_8_1_and_leaves_none_open_before_choosing) {
  WindowRig rig({3, 5});
  rig.Start();
  std::vector<PortsSerialControl::Opening> probes(rig.port->openings.begin(), rig.port->openings.begin() + 16);
  for (int n = 1; n <= 16; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(probes[n - 1], (PortsSerialControl::Opening{n, "9600,N,8,1", n == 3 || n == 5}));
  }
}

// Every choice runs its list's handler, also when start-up chooses the entry it
// had chosen already: the port is reopened each time.
TEST(StartUp, choosing_the_same_entry_twice_runs_the_handler_twice) {
  WindowRig rig({3, 5});
  rig.settings.values = {{"Properties/ComPort", "Com3"}, {"Properties/BoudRate", "9600"}};
  rig.Start();
  const std::vector<PortsSerialControl::Opening> afterScan(rig.port->openings.begin() + 16, rig.port->openings.end());
  const PortsSerialControl::Opening port3{3, "9600,N,8,2", true};
  EXPECT_EQ(afterScan, std::vector<PortsSerialControl::Opening>(4, port3))
      << "expected: Com3 chosen twice, then 9600 chosen twice";
}

TEST(StartUp, the_port_handler_opens_at_9600_before_the_rate_list_is_filled) {
  WindowRig rig({3});
  rig.settings.values = {{"Properties/BoudRate", "19200"}};
  rig.Start();
  const std::vector<PortsSerialControl::Opening> afterScan(rig.port->openings.begin() + 16, rig.port->openings.end());
  const std::vector<PortsSerialControl::Opening> expected{
      {3, "9600,N,8,2", true}, {3, "9600,N,8,2", true}, {3, "19200,N,8,2", true}};
  EXPECT_EQ(afterScan, expected);
}

TEST(StartUp, creates_the_four_tags_of_the_meter_and_starts_polling_once_a_second) {
  WindowRig rig({1});
  rig.window->Form_Load();
  auto* timer = rig.window->findChild<QTimer*>(QStringLiteral("Timer1"));
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 1000);
  timer->stop();
  EXPECT_TRUE(rig.window->isVisible());

  struct Expected {
    const char* key;
    std::int32_t regType, regAddress, dataType;
  } expected[] = {{"nolu", 3, 0, 4}, {"switch", 3, 2, 3}, {"slaveid", 4, 0, 3}, {"boudrate", 4, 1, 3}};
  MBCollection* tags = rig.window->Tags();
  ASSERT_NE(tags, nullptr);
  ASSERT_EQ(tags->Count(), 4);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(expected[i].key);
    const MBData& tag = tags->Item(i + 1);
    EXPECT_EQ(tag.TagName, expected[i].key);
    EXPECT_EQ(tag.RegType, expected[i].regType);
    EXPECT_EQ(tag.RegAddress, expected[i].regAddress);
    EXPECT_EQ(tag.DataType, expected[i].dataType);
    EXPECT_EQ(tag.DataLen, 0);
    EXPECT_TRUE(tag.Data().IsEmpty());
  }
  EXPECT_FALSE(rig.window->CommBusy());
}

}  // namespace
}  // namespace dornvel::testing
