#pragma once

#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "memory_settings_store.h"
#include "platform/qt_event_pump.h"
#include "platform/steady_clock.h"
#include "scoped_env.h"
#include "scripted_dialogs.h"
#include "sim_harness.h"
#include "ui/form_main.h"

namespace dornvel::reliability {

// Standard error of this process (std::cerr) kept for the scope's life: the
// serial control says there why a port closed or would not open.
class CapturedStderr {
 public:
  CapturedStderr();
  ~CapturedStderr();
  CapturedStderr(const CapturedStderr&) = delete;
  CapturedStderr& operator=(const CapturedStderr&) = delete;
  std::string Text() const { return text_.str(); }

 private:
  std::ostringstream text_;
  std::streambuf* previous_;
};

// The real window (Qt serial control, event pump, steady clock) in this
// process, polling dornvel-sim as Com1 through the simulator's link; the other
// port numbers name nothing, so start-up touches no real port. The simulated
// meter reads 12.5 kOhm and switch 7, slave 1 at 9600 baud, and adds
// `simulatorOptions` (its faults).
class MeterWindow {
 public:
  explicit MeterWindow(const std::vector<std::string>& simulatorOptions);
  ~MeterWindow();
  MeterWindow(const MeterWindow&) = delete;
  MeterWindow& operator=(const MeterWindow&) = delete;

  // Start-up as the program runs it: the window polls on its own timer.
  void Start();
  // Ticks every `interval` instead of once a second; with an interval shorter
  // than a tick they come back to back (a tick that fires while one runs is
  // skipped by the window).
  void SetPollingInterval(std::chrono::milliseconds interval);
  // Runs the event loop until `done` holds after a finished tick; false when
  // `within` passes first.
  bool RunTicksUntil(const std::function<bool()>& done, std::chrono::milliseconds within);
  // Closes the window as the user does.
  void Close();

  int TicksFinished() const { return ticks_; }
  // Panel 3, the error count, as a number (0 while empty); -1 when it holds no number.
  long ErrorCount() const;
  // Panel 4, the last message.
  std::string Message() const;
  // What differs from the meter's values shown on the normal background, with
  // every tag's last examined reply accepted; empty when nothing does.
  std::string DifferencesFromTheMeter() const;

  // True once the simulator has dealt with its request number `request`.
  bool SimulatorReached(std::uint64_t request) const;
  e2e::Simulator& Simulator() { return simulator_; }
  std::string Stderr() const { return stderr_.Text(); }

  // Beats of a 10 ms timer of the test: all of them, and those that came while
  // an exchange held the port, which shows that window events ran during the
  // waits on the line.
  long beats = 0;
  long beatsDuringExchanges = 0;

 private:
  e2e::TempDir dir_;
  std::vector<std::unique_ptr<testing::ScopedEnv>> ports_;
  e2e::Simulator simulator_;
  CapturedStderr stderr_;
  SteadyClock clock_;
  QtEventPump pump_;
  testing::MemorySettingsStore settings_;
  testing::ScriptedDialogs dialogs_;
  std::unique_ptr<FormMain> window_;
  QTimer heartbeat_;
  int ticks_ = 0;
};

}  // namespace dornvel::reliability
