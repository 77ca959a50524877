#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

#include "harness/device_frames.h"
#include "harness/fakes.h"
#include "harness/program_window.h"
#include "harness/pseudo_terminal.h"
#include "harness/temp_dir.h"
#include "protocol/serial_control.h"

namespace dornvel::testing {
namespace {

constexpr auto kTestDeadline = 15s;

TEST(RealPort, one_tick_sends_the_four_reads_in_order_and_shows_the_replies) {
  PseudoTerminal peer;
  ProgramWindow program({{1, peer.SlavePath()}});

  std::vector<std::string> requests;
  std::thread device([&] {
    const std::pair<const char*, const char*> script[] = {
        {frames::kReadNolu, frames::kNolu12_5},
        {frames::kReadSwitch, frames::kSwitch7},
        {frames::kReadSlaveId, frames::kSlaveId1},
        {frames::kReadBoudrate, frames::kBoudrate9600},
    };
    const auto deadline = In(kTestDeadline);
    for (const auto& [request, reply] : script) {
      const Bytes got = peer.Read(FromHex(request).size(), deadline);
      requests.push_back(ToHex(got));
      if (ToHex(got) != request) return;
      peer.Write(FromHex(reply));
    }
  });

  program.Start();
  const bool ticked = program.RunTicks(1, kTestDeadline);
  program.Window().findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
  device.join();

  EXPECT_TRUE(ticked);
  EXPECT_EQ(requests, (std::vector<std::string>{frames::kReadNolu, frames::kReadSwitch, frames::kReadSlaveId,
                                                frames::kReadBoudrate}));
  const WindowView shown = program.View();
  EXPECT_EQ(shown.nolu.text, "13");
  EXPECT_EQ(shown.switchBox.text, "07");
  EXPECT_EQ(shown.slaveid.text, "0001");
  EXPECT_EQ(shown.boudrate.text, "9600");
  EXPECT_EQ(shown.errorCount, "") << shown.message;
  EXPECT_EQ(program.Window().MSComm().Settings(), "9600,N,8,2");
  program.Close();
  EXPECT_EQ(program.Settings().committed["Properties/ComPort"], "Com1");
}

TEST(RealPort, closing_while_a_reply_is_awaited_ends_the_wait_and_the_tick) {
  PseudoTerminal peer;
  ProgramWindow program({{1, peer.SlavePath()}});

  std::string firstRequest;
  std::string afterClose;
  std::thread device([&] {
    firstRequest = ToHex(peer.Read(8, In(kTestDeadline)));
    // No reply: the user closes the window while the program waits for one.
    QMetaObject::invokeMethod(
        &program.Window(), [&] { program.Window().close(); }, Qt::QueuedConnection);
    afterClose = ToHex(peer.Read(1, In(1s)));
  });

  program.Start();
  const bool ticked = program.RunTicks(1, kTestDeadline);
  device.join();

  EXPECT_TRUE(ticked);
  EXPECT_EQ(firstRequest, frames::kReadNolu);
  EXPECT_EQ(afterClose, "") << "the tick went on after the close";
  EXPECT_EQ(program.Message(), "MBData/GetData: Comm не открыт...");
  EXPECT_EQ(program.Window().Tags(), nullptr);
  EXPECT_EQ(program.Settings().commits, 1);
}

// An adapter plugged in after start-up: its device appears where DORNVEL_COM2
// points, and opening the port list offers it, the port in use untouched.
TEST(RealPort, a_port_that_appears_after_start_up_is_listed_when_the_list_opens) {
  PseudoTerminal com1;
  TempDir dir;
  const auto com2 = dir / "com2";
  ProgramWindow program({{1, com1.SlavePath()}, {2, com2.string()}});
  program.Start();
  program.Window().findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
  auto* ports = program.Window().findChild<QComboBox*>(QStringLiteral("ProgCom"));
  ASSERT_EQ(ports->count(), 1);

  PseudoTerminal adapter;
  std::filesystem::create_symlink(adapter.SlavePath(), com2);
  ports->showPopup();
  ports->hidePopup();

  ASSERT_EQ(ports->count(), 2);
  EXPECT_EQ(ports->itemText(1), "Com2");
  EXPECT_EQ(ports->currentText(), "Com1");
  EXPECT_TRUE(program.Window().MSComm().PortOpen());
  EXPECT_EQ(program.Window().MSComm().CommPort(), 1);
  EXPECT_EQ(ToHex(adapter.Read(1, In(100ms))), "") << "nothing was sent to the new port";
}

}  // namespace
}  // namespace dornvel::testing
