#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <functional>

#include "harness/device_frames.h"
#include "harness/window_rig.h"
#include "tags/mb_collection.h"

namespace dornvel::testing {
namespace {

using Opening = PortsSerialControl::Opening;

constexpr const char* kValueBoxes[] = {"nolu", "switch", "slaveid", "Boudrate"};

// The window after one tick that showed the meter's values.
struct ShownWindow {
  explicit ShownWindow(std::set<int> ports = {1, 3}) : rig(std::move(ports)) {
    rig.Start();
    rig.AnswerFirstTick();
    rig.window->Timer1_Timer();
  }
  WindowRig rig;
};

TEST(DeviceAddressed, a_change_of_slave_port_or_rate_forgets_every_value_and_pending_write) {
  struct Case {
    const char* what;
    std::function<void(WindowRig&)> change;
    const char* readSlaveId;  // the next tick's first read of the device's slave id
  } cases[] = {
      {"slave id",
       [](WindowRig& rig) {
         rig.dialogs.Answer("2");
         rig.window->ProgSlave_Click();
       },
       "02 03 00 00 00 01 84 39"},
      {"port",
       [](WindowRig& rig) {
         rig.List("ProgCom")->setCurrentIndex(1);
         rig.window->ProgCom_Click();
       },
       frames::kReadSlaveId},
      {"rate",
       [](WindowRig& rig) {
         rig.List("ProgBoudRate")->setCurrentIndex(1);
         rig.window->ProgBoudRate_Click();
       },
       frames::kReadSlaveId},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ShownWindow shown;
    WindowRig& rig = shown.rig;
    rig.Tag("slaveid").SetData(Value(5.0));  // entered for the old device, not yet written
    rig.Tag("switch").LastError = 10;
    c.change(rig);

    for (const char* box : kValueBoxes) {
      EXPECT_EQ(rig.Box(box)->text(), "") << box;
      EXPECT_EQ(rig.Background(box), rig.NormalBackground()) << box;
    }
    for (const MBData& tag : *rig.window->Tags()) {
      EXPECT_TRUE(tag.Data().IsEmpty()) << tag.TagName;
      EXPECT_FALSE(tag.WriteReq()) << tag.TagName;
      EXPECT_EQ(tag.LastError, 0) << tag.TagName;
    }
    // Nothing is written; the device's own registers are read again.
    rig.port->ClearScript();
    rig.port->ExpectAnyRequest({});
    rig.port->ExpectAnyRequest({});
    rig.port->Expect(c.readSlaveId);
    rig.port->ExpectAnyRequest({});
    rig.window->Timer1_Timer();
  }
}

TEST(DeviceAddressed, the_same_slave_port_and_rate_chosen_again_keep_the_values) {
  ShownWindow shown;
  WindowRig& rig = shown.rig;
  rig.dialogs.Answer("1");
  rig.window->ProgSlave_Click();
  rig.List("ProgCom")->setCurrentIndex(0);
  rig.window->ProgCom_Click();
  rig.List("ProgBoudRate")->setCurrentIndex(0);
  rig.window->ProgBoudRate_Click();
  EXPECT_EQ(rig.Box("slaveid")->text(), "0001");
  EXPECT_EQ(rig.Tag("boudrate").Data(), Value(std::int16_t{9600}));
}

TEST(NoPortChosen, no_transaction_opens_a_port_until_one_is_chosen) {
  struct Case {
    const char* what;
    std::set<int> ports;
    const char* entry;  // typed into the port list and chosen; none: start-up only
    bool message;
  } cases[] = {
      {"no port at start-up", {}, nullptr, false},
      {"an entry without a number", {1, 3}, "xyz", true},
      {"an entry for port 0", {1, 3}, "Com0", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WindowRig rig(c.ports);
    rig.Start();
    if (c.entry) {
      rig.List("ProgCom")->setEditText(QString::fromUtf8(c.entry));
      rig.window->ProgCom_Click();
    }
    EXPECT_EQ(rig.dialogs.messages.size(), c.message ? 1u : 0u);
    rig.port->openings.clear();
    rig.window->Timer1_Timer();
    EXPECT_TRUE(rig.port->openings.empty());
    EXPECT_TRUE(rig.port->Sent().empty());
    EXPECT_EQ(rig.window->Panel(4)->text().toStdString(), "MBData/GetData: Comm не открыт...");
    EXPECT_FALSE(rig.List("ProgCom")->toolTip().isEmpty());

    // A valid choice works at once.
    rig.port->openablePorts = {4};
    rig.List("ProgCom")->setEditText("Com4");
    rig.window->ProgCom_Click();
    EXPECT_EQ(rig.port->openings, (std::vector<Opening>{{4, "9600,N,8,2", true}}));
    EXPECT_TRUE(rig.List("ProgCom")->toolTip().isEmpty());
    rig.AnswerFirstTick();
    rig.window->Timer1_Timer();
    EXPECT_EQ(rig.Box("Boudrate")->text(), "9600");
  }
}

TEST(PortProblem, the_reason_a_port_did_not_open_shows_in_the_tooltips_until_it_opens) {
  WindowRig rig({1});
  rig.Start();
  rig.List("ProgCom")->setEditText("Com7");
  rig.window->ProgCom_Click();
  EXPECT_EQ(rig.List("ProgCom")->toolTip(), "port 7 cannot be opened");
  EXPECT_EQ(rig.window->Panel(4)->toolTip(), "port 7 cannot be opened");

  rig.List("ProgCom")->setEditText("Com1");
  rig.window->ProgCom_Click();
  EXPECT_EQ(rig.List("ProgCom")->toolTip(), "");
  EXPECT_EQ(rig.window->Panel(4)->toolTip(), "");
}

QStringList Entries(QComboBox* list) {
  QStringList entries;
  for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
  return entries;
}

TEST(PortList, opening_the_list_adds_ports_that_came_and_drops_those_that_went_but_the_chosen) {
  WindowRig rig({3, 5});
  rig.Start();
  QComboBox* list = rig.List("ProgCom");
  ASSERT_EQ(list->currentText(), "Com3");
  rig.port->openings.clear();
  rig.port->presentPorts = {1, 5, 12};  // 3 went, 1 and 12 came

  list->showPopup();
  list->hidePopup();
  EXPECT_EQ(Entries(list), QStringList({"Com1", "Com3", "Com5", "Com12"}));
  EXPECT_EQ(list->currentText(), "Com3");
  EXPECT_EQ(list->currentIndex(), 1);
  EXPECT_TRUE(rig.port->openings.empty()) << "no port is opened for the list";
  EXPECT_TRUE(rig.port->PortOpen());
  EXPECT_EQ(rig.port->CommPort(), 3);
}

TEST(PortList, ports_that_come_after_a_start_without_any_are_listed_but_not_chosen) {
  WindowRig rig(std::set<int>{});
  rig.Start();
  QComboBox* list = rig.List("ProgCom");
  rig.port->openings.clear();
  rig.port->presentPorts = {2};
  list->showPopup();
  list->hidePopup();
  EXPECT_EQ(Entries(list), QStringList({"Com2"}));
  EXPECT_EQ(list->currentIndex(), -1);
  EXPECT_EQ(list->currentText(), "Combo1");
  EXPECT_TRUE(rig.port->openings.empty());
}

}  // namespace
}  // namespace dornvel::testing
