#include <gtest/gtest.h>

#include <QTimer>

#include "harness/window_rig.h"

namespace dornvel::testing {
namespace {

TEST(Shutdown, closing_saves_the_three_texts_as_shown_and_commits_them_once) {
  WindowRig rig({3, 5});
  rig.Start();
  rig.List("ProgCom")->setEditText("Com9x");  // typed by the user, no entry of the list
  rig.List("ProgBoudRate")->setCurrentIndex(1);
  rig.Box("ProgSlave")->setText("33");  // typed straight into the box
  rig.window->close();

  const std::map<QString, QString> saved{
      {"Properties/ComPort", "Com9x"}, {"Properties/BoudRate", "19200"}, {"Properties/Slave", "33"}};
  EXPECT_EQ(rig.settings.committed, saved);
  EXPECT_EQ(rig.settings.commits, 1);
  EXPECT_EQ(rig.window->Tags(), nullptr);
  EXPECT_FALSE(rig.window->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
  EXPECT_FALSE(rig.port->PortOpen());
  EXPECT_FALSE(rig.window->isVisible());
}

TEST(Shutdown, without_ports_the_design_text_of_the_port_list_is_saved_and_the_next_start_takes_the_first_port) {
  MemorySettingsStore carried;
  {
    WindowRig rig(std::set<int>{});
    rig.Start();
    rig.window->close();
    EXPECT_EQ(rig.settings.committed["Properties/ComPort"], "Combo1");
    EXPECT_EQ(rig.settings.committed["Properties/BoudRate"], "9600");
    EXPECT_EQ(rig.settings.committed["Properties/Slave"], "1");
    carried.values = rig.settings.committed;
  }
  WindowRig next({4, 6});
  next.settings.values = carried.values;
  next.Start();
  EXPECT_EQ(next.List("ProgCom")->currentText(), "Com4");
  EXPECT_TRUE(next.port->PortOpen());
  EXPECT_EQ(next.port->CommPort(), 4);
}

TEST(Shutdown, a_second_close_saves_nothing_more) {
  WindowRig rig({3});
  rig.Start();
  rig.window->close();
  rig.window->Form_Unload();
  EXPECT_EQ(rig.settings.commits, 1);
}

}  // namespace
}  // namespace dornvel::testing
