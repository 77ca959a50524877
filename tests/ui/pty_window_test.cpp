#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "device_frames.h"
#include "fakes.h"
#include "memory_settings_store.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_serial_control.h"
#include "platform/steady_clock.h"
#include "pseudo_terminal.h"
#include "scripted_dialogs.h"
#include "ui/form_main.h"

namespace dornvel::testing {
namespace {

using namespace std::chrono_literals;

constexpr auto kTestDeadline = 15s;

// The real window with the Qt serial control on a pseudo-terminal as Com1; the
// other port numbers name no device, so the scan touches no real port.
struct RealPortWindow {
  explicit RealPortWindow(const PseudoTerminal& peer) {
    qputenv("DORNVEL_COM1", QByteArray::fromStdString(peer.SlavePath()));
    for (int n = 2; n <= 16; ++n) {
      qputenv(QStringLiteral("DORNVEL_COM%1").arg(n).toLatin1(), "/nonexistent/dornvel-test-port");
    }
    QApplication::setQuitOnLastWindowClosed(false);
    window = std::make_unique<FormMain>(
        ProtocolServices{pump, clock},
        [](HostWindow* parent) { return std::make_unique<QtSerialControl>(parent); }, settings, dialogs);
  }

  // Runs the event loop until the window has finished a tick, or the deadline.
  bool WaitForTick() {
    QEventLoop loop;
    bool ticked = false;
    QObject::connect(window.get(), &FormMain::tickFinished, &loop, [&] {
      ticked = true;
      loop.quit();
    });
    QTimer::singleShot(kTestDeadline, &loop, &QEventLoop::quit);
    loop.exec();
    return ticked;
  }

  QString Shown(const char* box) const { return window->findChild<QLineEdit*>(QString::fromUtf8(box))->text(); }

  SteadyClock clock;
  QtEventPump pump;
  MemorySettingsStore settings;
  ScriptedDialogs dialogs;
  std::unique_ptr<FormMain> window;
};

TEST(RealPort, one_tick_sends_the_four_reads_in_order_and_shows_the_replies) {
  PseudoTerminal peer;
  RealPortWindow rig(peer);

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

  rig.window->Form_Load();
  const bool ticked = rig.WaitForTick();
  rig.window->findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
  device.join();

  EXPECT_TRUE(ticked);
  EXPECT_EQ(requests, (std::vector<std::string>{frames::kReadNolu, frames::kReadSwitch, frames::kReadSlaveId,
                                                frames::kReadBoudrate}));
  EXPECT_EQ(rig.Shown("nolu"), "13");
  EXPECT_EQ(rig.Shown("switch"), "07");
  EXPECT_EQ(rig.Shown("slaveid"), "0001");
  EXPECT_EQ(rig.Shown("Boudrate"), "9600");
  EXPECT_EQ(rig.window->Panel(3)->text(), "") << rig.window->Panel(4)->text().toStdString();
  EXPECT_EQ(rig.window->MSComm().Settings(), "9600,N,8,2");
  rig.window->close();
  EXPECT_EQ(rig.settings.committed["Properties/ComPort"], "Com1");
}

TEST(RealPort, closing_while_a_reply_is_awaited_ends_the_wait_and_the_tick) {
  PseudoTerminal peer;
  RealPortWindow rig(peer);

  std::string firstRequest;
  std::string afterClose;
  std::thread device([&] {
    firstRequest = ToHex(peer.Read(8, In(kTestDeadline)));
    // No reply: the user closes the window while the program waits for one.
    QMetaObject::invokeMethod(rig.window.get(), [&] { rig.window->close(); }, Qt::QueuedConnection);
    afterClose = ToHex(peer.Read(1, In(1s)));
  });

  rig.window->Form_Load();
  const bool ticked = rig.WaitForTick();
  device.join();

  EXPECT_TRUE(ticked);
  EXPECT_EQ(firstRequest, frames::kReadNolu);
  EXPECT_EQ(afterClose, "") << "the tick went on after the close";
  EXPECT_EQ(rig.window->Panel(4)->text().toStdString(), "MBData/GetData: Comm не открыт...");
  EXPECT_EQ(rig.window->Tags(), nullptr);
  EXPECT_EQ(rig.settings.commits, 1);

  // The window goes; whatever is still queued must not reach it.
  rig.window.reset();
  QCoreApplication::processEvents();
}

}  // namespace
}  // namespace dornvel::testing
