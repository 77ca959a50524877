#include <gtest/gtest.h>

#include <QComboBox>

#include "harness/program_window.h"
#include "harness/rtu_client.h"
#include "harness/simulator.h"

namespace dornvel::testing {
namespace {

// Holding registers 0 and 1 (slave id, baud rate) as the device answers them.
Bytes HoldingRegisters(const std::string& path, std::uint8_t slave, speed_t speed) {
  RtuClient client(path, speed);
  return client.Transact({slave, 0x03, 0x00, 0x00, 0x00, 0x02});
}

class ProgramReconfiguring : public ::testing::Test {
 protected:
  std::string Link() const { return (dir / "com1").string(); }

  // The device, at slave 1 and 9600 baud, with `options`.
  Simulator Device(std::vector<std::string> options) {
    options.insert(options.begin(), {"--link", Link()});
    return Simulator(dir, std::move(options));
  }

  // The window on the device, after its first tick.
  std::unique_ptr<ProgramWindow> Window() {
    auto program = std::make_unique<ProgramWindow>(PortDevices{{1, Link()}});
    program->Start();
    EXPECT_TRUE(program->RunTicks(1));
    return program;
  }

  // Answers the input box that `click` opens with `answer`, then runs the next
  // tick, the one that acts on the new value; false when it did not come.
  static bool EnterAndPoll(ProgramWindow& program, const QString& answer, void (FormMain::*click)()) {
    program.Dialogs().Answer(answer);
    (program.Window().*click)();
    return program.RunTicks(1);
  }

  static bool InLog(const Simulator& sim, const std::string& text) { return sim.Log().find(text) != std::string::npos; }

  TempDir dir;
};

TEST_F(ProgramReconfiguring, a_new_device_slave_id_reaches_the_device_which_then_answers_at_it) {
  Simulator sim = Device({"--jumper"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  {
    const auto window = Window();
    ProgramWindow& program = *window;
    ASSERT_TRUE(EnterAndPoll(program, "5", &FormMain::slaveid_Click)) << sim.Log();
    EXPECT_TRUE(InLog(sim, "RX " + ToHex(WithCrc({0x01, 0x10, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x05}))))
        << sim.Log();
    EXPECT_TRUE(InLog(sim, "slave id now 5")) << sim.Log();
    EXPECT_EQ(program.Views()[1].slaveid.text, "0005");

    // The computer follows the device to its new address.
    ASSERT_TRUE(EnterAndPoll(program, "5", &FormMain::ProgSlave_Click)) << sim.Log();
    EXPECT_EQ(program.Views()[2].errorCount, "") << program.Views()[2].message;
    EXPECT_EQ(program.Views()[2].slaveid.text, "0005") << "read afresh at the new address";
    EXPECT_TRUE(InLog(sim, "TX " + ToHex(WithCrc({0x05, 0x04, 0x02, 0x00, 0x00})))) << sim.Log();
  }
  EXPECT_EQ(ToHex(HoldingRegisters(sim.Path(), 5, B9600)), ToHex(WithCrc({0x05, 0x03, 0x04, 0x00, 0x05, 0x25, 0x80})));
}

TEST_F(ProgramReconfiguring, a_new_device_baud_rate_reaches_the_device_and_polling_goes_on_at_that_rate) {
  Simulator sim = Device({"--jumper"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  {
    const auto window = Window();
    ProgramWindow& program = *window;
    ASSERT_TRUE(EnterAndPoll(program, "19200", &FormMain::Boudrate_Click)) << sim.Log();
    EXPECT_TRUE(InLog(sim, "baud rate now 19200")) << sim.Log();
    EXPECT_EQ(program.Views()[1].boudrate.text, "19200");
    EXPECT_EQ(program.Views()[1].errorCount, "") << program.Views()[1].message;

    // The computer's port follows the device to its new rate.
    auto* rates = program.Window().findChild<QComboBox*>(QStringLiteral("ProgBoudRate"));
    rates->setCurrentIndex(rates->findText(QStringLiteral("19200")));
    program.Window().ProgBoudRate_Click();
    ASSERT_TRUE(program.RunTicks(1)) << sim.Log();
    EXPECT_EQ(program.Views()[2].errorCount, "") << program.Views()[2].message;
    EXPECT_TRUE(InLog(sim, "line set to 19200,N,8,2 by the master")) << sim.Log();
  }
  EXPECT_EQ(ToHex(HoldingRegisters(sim.Path(), 1, B19200)), ToHex(WithCrc({0x01, 0x03, 0x04, 0x00, 0x01, 0x4B, 0x00})));
  ASSERT_EQ(sim.Stop(), 0);
  EXPECT_EQ(sim.Counters()["ignored"], 0) << "no request went unheard\n" << sim.Log();
}

TEST_F(ProgramReconfiguring, without_the_jumper_the_device_refuses_the_write_and_the_window_reports_it) {
  Simulator sim = Device({});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  {
    const auto window = Window();
    ProgramWindow& program = *window;
    ASSERT_TRUE(EnterAndPoll(program, "5", &FormMain::slaveid_Click)) << sim.Log();
    EXPECT_EQ(program.Views()[1].message, "Ошибка: (slaveid) - Неверная команда");
    EXPECT_EQ(program.Views()[1].errorCount, "1");
    EXPECT_EQ(program.Views()[1].slaveid.text, "0001") << "the device's own id read back";
    EXPECT_TRUE(InLog(sim, "write refused: jumper JP not set")) << sim.Log();
    EXPECT_TRUE(InLog(sim, "TX " + ToHex(WithCrc({0x01, 0x90, 0x01})))) << sim.Log();
  }
  EXPECT_EQ(ToHex(HoldingRegisters(sim.Path(), 1, B9600)), ToHex(WithCrc({0x01, 0x03, 0x04, 0x00, 0x01, 0x25, 0x80})));
}

}  // namespace
}  // namespace dornvel::testing
