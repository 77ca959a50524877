#include "platform/qt_event_pump.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>

namespace dornvel {
namespace {

using namespace std::chrono_literals;

// Starts every case with nothing pending, so that a wait has only the case's own
// events (or none) to end it.
class QtEventPumpTest : public ::testing::Test {
 protected:
  void SetUp() override { QCoreApplication::processEvents(); }
  QtEventPump pump;
};

TEST_F(QtEventPumpTest, runs_the_events_pending_now) {
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  pump.ProcessEvents();
  EXPECT_TRUE(ran);
}

// The CRC asks for a pass per bit; passes that come too close together are
// skipped, but the asking must not starve the events.
TEST_F(QtEventPumpTest, passes_asked_for_without_pause_still_run_an_event_posted_meanwhile) {
  pump.ProcessEvents();
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  const auto start = std::chrono::steady_clock::now();
  while (!ran && std::chrono::steady_clock::now() - start < 1s) pump.ProcessEvents();
  EXPECT_TRUE(ran);
}

TEST_F(QtEventPumpTest, a_wait_ends_once_an_event_has_run) {
  bool ran = false;
  QTimer::singleShot(20, [&] { ran = true; });
  const auto start = std::chrono::steady_clock::now();
  pump.WaitForEvents(10s);
  EXPECT_TRUE(ran);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(QtEventPumpTest, a_wait_without_events_lasts_its_limit) {
  const auto start = std::chrono::steady_clock::now();
  pump.WaitForEvents(150ms);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
}

}  // namespace
}  // namespace dornvel
