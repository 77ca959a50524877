#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
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

// A reader that knows how many bytes are still due leaves the port quiet
// meanwhile; the port signals again once its input is taken, and a reader that
// goes must not leave the next one (the window's transaction) waiting out its
// limit.
TEST_P(SerialWaits, a_hushed_port_signals_again_once_its_input_is_taken_or_its_reader_goes) {
  int told = 0;
  control_.OnInputArrived([&] { ++told; });
  QtEventPump pump;
  const auto runEvents = [&](std::chrono::milliseconds limit, auto until) {
    const auto deadline = In(limit);
    while (!until() && std::chrono::steady_clock::now() < deadline) pump.WaitForEvents(20ms);
  };
  control_.HushInputUntilTaken();
  pty_.Write(FromHex("01"));
  runEvents(300ms, [] { return false; });
  EXPECT_EQ(told, 0);
  EXPECT_EQ(control_.Input(), FromHex("01"));
  const int before = told;  // taking the input may signal it too
  pty_.Write(FromHex("04"));
  runEvents(2000ms, [&] { return told > before; });
  EXPECT_GT(told, before);

  control_.HushInputUntilTaken();
  control_.OnInputArrived({});
  EXPECT_LT(WaitedForInputSentLater(FromHex("06")), kLongLimit / 2);
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
