#include <QComboBox>

#include <gtest/gtest.h>

#include "program_rig.h"

namespace dornvel::e2e {
namespace {

// Holding registers 0 and 1 (slave id, baud rate) as the device answers them.
Bytes HoldingRegisters(const std::string& path, std::uint8_t slave, speed_t speed) {
  RtuClient client(path, speed);
  return client.transact({slave, 0x03, 0x00, 0x00, 0x00, 0x02});
}

class ProgramReconfiguring : public ::testing::Test {
 protected:
  std::string link() const { return (dir / "com1").string(); }

  // The device, at slave 1 and 9600 baud, with `options`.
  Simulator Device(std::vector<std::string> options) {
    options.insert(options.begin(), {"--link", link()});
    return Simulator(dir, std::move(options));
  }

  // Answers the input box that `click` opens with `answer`, then runs the next
  // tick, the one that acts on the new value; false when it did not come.
  static bool EnterAndPoll(WindowOnSimulator& program, const QString& answer, void (FormMain::*click)()) {
    program.dialogs.Answer(answer);
    (program.window().*click)();
    return program.RunTicks(1);
  }

  static bool InLog(const Simulator& sim, const std::string& text) { return sim.log().find(text) != std::string::npos; }

  TempDir dir;
};

TEST_F(ProgramReconfiguring, a_new_device_slave_id_reaches_the_device_which_then_answers_at_it) {
  Simulator sim = Device({"--jumper"});
  ASSERT_FALSE(sim.path().empty()) << sim.errors();
  {
    WindowOnSimulator program(link());
    ASSERT_TRUE(program.RunTicks(1)) << sim.log();
    ASSERT_TRUE(EnterAndPoll(program, "5", &FormMain::slaveid_Click)) << sim.log();
    EXPECT_TRUE(InLog(sim, "RX " + hex(with_crc({0x01, 0x10, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x05}))))
        << sim.log();
    EXPECT_TRUE(InLog(sim, "slave id now 5")) << sim.log();
    EXPECT_EQ(program.views()[1].slaveid, "0005");

    // The computer follows the device to its new address.
    ASSERT_TRUE(EnterAndPoll(program, "5", &FormMain::ProgSlave_Click)) << sim.log();
    EXPECT_EQ(program.views()[2].errorCount, "") << program.views()[2].message;
    EXPECT_TRUE(InLog(sim, "TX " + hex(with_crc({0x05, 0x04, 0x02, 0x00, 0x00})))) << sim.log();
  }
  EXPECT_EQ(hex(HoldingRegisters(sim.path(), 5, B9600)), hex(with_crc({0x05, 0x03, 0x04, 0x00, 0x05, 0x25, 0x80})));
}

TEST_F(ProgramReconfiguring, a_new_device_baud_rate_reaches_the_device_and_polling_goes_on_at_that_rate) {
  Simulator sim = Device({"--jumper"});
  ASSERT_FALSE(sim.path().empty()) << sim.errors();
  {
    WindowOnSimulator program(link());
    ASSERT_TRUE(program.RunTicks(1)) << sim.log();
    ASSERT_TRUE(EnterAndPoll(program, "19200", &FormMain::Boudrate_Click)) << sim.log();
    EXPECT_TRUE(InLog(sim, "baud rate now 19200")) << sim.log();
    EXPECT_EQ(program.views()[1].boudrate, "19200");
    EXPECT_EQ(program.views()[1].errorCount, "") << program.views()[1].message;

    // The computer's port follows the device to its new rate.
    auto* rates = program.window().findChild<QComboBox*>(QStringLiteral("ProgBoudRate"));
    rates->setCurrentIndex(rates->findText(QStringLiteral("19200")));
    program.window().ProgBoudRate_Click();
    ASSERT_TRUE(program.RunTicks(1)) << sim.log();
    EXPECT_EQ(program.views()[2].errorCount, "") << program.views()[2].message;
    EXPECT_TRUE(InLog(sim, "line set to 19200,N,8,2 by the master")) << sim.log();
  }
  EXPECT_EQ(hex(HoldingRegisters(sim.path(), 1, B19200)), hex(with_crc({0x01, 0x03, 0x04, 0x00, 0x01, 0x4B, 0x00})));
  ASSERT_EQ(sim.stop(), 0);
  EXPECT_EQ(sim.counters()["ignored"], 0) << "no request went unheard\n" << sim.log();
}

TEST_F(ProgramReconfiguring, without_the_jumper_the_device_refuses_the_write_and_the_window_reports_it) {
  Simulator sim = Device({});
  ASSERT_FALSE(sim.path().empty()) << sim.errors();
  {
    WindowOnSimulator program(link());
    ASSERT_TRUE(program.RunTicks(1)) << sim.log();
    ASSERT_TRUE(EnterAndPoll(program, "5", &FormMain::slaveid_Click)) << sim.log();
    EXPECT_EQ(program.views()[1].message, "Ошибка: (slaveid) - Неверная команда");
    EXPECT_EQ(program.views()[1].errorCount, "1");
    EXPECT_EQ(program.views()[1].slaveid, "0001") << "the device's own id read back";
    EXPECT_TRUE(InLog(sim, "write refused: jumper JP not set")) << sim.log();
    EXPECT_TRUE(InLog(sim, "TX " + hex(with_crc({0x01, 0x90, 0x01})))) << sim.log();
  }
  EXPECT_EQ(hex(HoldingRegisters(sim.path(), 1, B9600)), hex(with_crc({0x01, 0x03, 0x04, 0x00, 0x01, 0x25, 0x80})));
}

}  // namespace
}  // namespace dornvel::e2e
