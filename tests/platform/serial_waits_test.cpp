#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "harness/fakes.h"
#include "harness/pseudo_terminal.h"
#include "harness/scoped_env.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_serial_control.h"

namespace dornvel {
namespace {

using namespace std::chrono_literals;
using testing::FromHex;
using testing::In;
using testing::PseudoTerminal;
using testing::ScopedEnv;

constexpr auto kLongLimit = 10s;

class SerialWaits : public ::testing::TestWithParam<WaitEvents> {
 protected:
  void SetUp() override {
    control_.SetPortOpen(true);
    ASSERT_TRUE(control_.PortOpen());
  }
  // How long `wait` blocked.
  template <typename Wait>
  static std::chrono::steady_clock::duration Timed(Wait wait) {
    const auto start = std::chrono::steady_clock::now();
    wait();
    return std::chrono::steady_clock::now() - start;
  }
  // How long an input wait blocked while the device sent `bytes` 50 ms in.
  std::chrono::steady_clock::duration WaitedForInputSentLater(const Bytes& bytes) {
    std::thread device([this, bytes] {
      // The device's own pause before it answers: the stimulus, not a synchronisation.
      std::this_thread::sleep_for(50ms);
      pty_.Write(bytes);
    });
    const auto waited = Timed([&] { control_.WaitForInput(kLongLimit, GetParam()); });
    device.join();
    return waited;
  }

  PseudoTerminal pty_;
  ScopedEnv device_{"DORNVEL_COM1", pty_.SlavePath()};
  QtSerialControl control_;
};

TEST_P(SerialWaits, an_input_wait_ends_when_bytes_arrive_not_at_its_limit) {
  EXPECT_LT(WaitedForInputSentLater(FromHex("01 04")), kLongLimit / 2);
  EXPECT_EQ(control_.InBufferCount(), 2);
}

TEST_P(SerialWaits, waits_on_a_closed_port_return_at_once) {
  control_.SetPortOpen(false);
  EXPECT_LT(Timed([&] { control_.WaitForInput(kLongLimit, GetParam()); }), kLongLimit / 2);
  EXPECT_LT(Timed([&] { control_.WaitForOutputDrained(kLongLimit, GetParam()); }), kLongLimit / 2);
}

TEST_P(SerialWaits, a_peer_hanging_up_during_a_wait_closes_the_port_and_ends_the_wait) {
  std::thread device([this] {
    std::this_thread::sleep_for(50ms);
    pty_.HangUp();
  });
  ::testing::internal::CaptureStderr();
  const auto waited = Timed([&] { control_.WaitForInput(kLongLimit, GetParam()); });
  const std::string said = ::testing::internal::GetCapturedStderr();
  device.join();
  EXPECT_LT(waited, kLongLimit / 2);
  EXPECT_FALSE(control_.PortOpen());
  EXPECT_NE(said.find("the device is gone"), std::string::npos) << said;
}

INSTANTIATE_TEST_SUITE_P(EventsRunOrHeld, SerialWaits, ::testing::Values(WaitEvents::Run, WaitEvents::Hold),
                         [](const auto& info) { return info.param == WaitEvents::Run ? "events_run" : "events_held"; });

TEST(SerialWaitsWithEvents, a_window_event_that_closes_the_port_ends_the_wait) {
  PseudoTerminal pty;
  ScopedEnv device("DORNVEL_COM1", pty.SlavePath());
  QtSerialControl control;
  control.SetPortOpen(true);
  ASSERT_TRUE(control.PortOpen());
  QTimer::singleShot(30, [&] { control.SetPortOpen(false); });
  const auto start = std::chrono::steady_clock::now();
  control.WaitForInput(kLongLimit, WaitEvents::Run);
  EXPECT_LT(std::chrono::steady_clock::now() - start, kLongLimit / 2);
  EXPECT_FALSE(control.PortOpen());
}

// The bus view polls on a thread of its own, on a control made there: Qt's
// serial port needs that thread's event dispatcher for its notifiers (a bare
// thread has none, and Qt complains), though the thread never runs its loop.
TEST(SerialWaitsOnAThread, a_control_made_on_a_thread_of_its_own_opens_and_waits_there_for_its_input) {
  PseudoTerminal pty;
  ScopedEnv device("DORNVEL_COM1", pty.SlavePath());
  static std::string complaints;
  complaints.clear();
  const QtMessageHandler before = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& message) { complaints += message.toStdString() + "\n"; });
  Bytes heard;
  bool opened = false;
  std::unique_ptr<QThread> thread(QThread::create([&] {
    QtSerialControl control;
    control.SetPortOpen(true);
    opened = control.PortOpen();
    control.WaitForInput(kLongLimit, WaitEvents::Hold);
    heard = control.Input();
  }));
  thread->start();
  std::this_thread::sleep_for(50ms);  // the device's pause before it answers
  pty.Write(FromHex("01 04"));
  EXPECT_TRUE(thread->wait(static_cast<unsigned long>(kLongLimit / 1ms)));
  qInstallMessageHandler(before);
  EXPECT_TRUE(opened);
  EXPECT_EQ(heard, FromHex("01 04"));
  EXPECT_EQ(complaints, "");
}

// Left open on a hung-up descriptor, the port would wake the event loop without
// end; the control closes it at the first sign instead.
TEST(SerialWaitsWithEvents, an_idle_port_whose_peer_hung_up_is_closed_by_the_event_loop) {
  PseudoTerminal pty;
  ScopedEnv device("DORNVEL_COM1", pty.SlavePath());
  QtSerialControl control;
  control.SetPortOpen(true);
  ASSERT_TRUE(control.PortOpen());
  ::testing::internal::CaptureStderr();
  pty.HangUp();
  QtEventPump pump;
  const auto deadline = In(5s);
  while (control.PortOpen() && std::chrono::steady_clock::now() < deadline) {
    pump.WaitForEvents(deadline - std::chrono::steady_clock::now());
  }
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(control.PortOpen());
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

}  // namespace
}  // namespace dornvel
