#pragma once

#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "harness/captured_stderr.h"
#include "harness/memory_settings_store.h"
#include "harness/port_map.h"
#include "harness/scripted_dialogs.h"
#include "platform/qt_event_pump.h"
#include "platform/steady_clock.h"

namespace dornvel::testing {

using namespace std::chrono_literals;

// A value box as the user sees it.
struct BoxView {
  std::string text;
  bool grey = false;  // the error background
  bool operator==(const BoxView&) const = default;
};

// What the window shows.
struct WindowView {
  BoxView nolu;
  BoxView switchBox;
  BoxView slaveid;
  BoxView boudrate;
  std::string errorCount;  // panel 3
  std::string message;     // panel 4
};

// The program's window in the test's process, built as the program builds it
// (Qt serial control, event pump, steady clock), with Com<n> mapped to
// `ports` and no other port touched, the settings in memory, input boxes
// answered from Dialogs() and what it says on std::cerr kept in Stderr().
class ProgramWindow {
 public:
  explicit ProgramWindow(const PortDevices& ports, std::map<QString, QString> savedSettings = {});
  ~ProgramWindow();
  ProgramWindow(const ProgramWindow&) = delete;
  ProgramWindow& operator=(const ProgramWindow&) = delete;

  // Start-up as the program runs it; from then on the window polls on its timer.
  void Start();
  // Ticks this often instead of once a second; shorter than a tick, they come
  // back to back (a tick that fires while one runs is skipped by the window).
  void SetPollingInterval(Milliseconds interval);
  // Runs the event loop until `count` more ticks have finished; false when
  // `within` passed first.
  bool RunTicks(int count, Milliseconds within = 20s);
  // Runs the event loop until `done` holds after a finished tick; false when
  // `within` passed first.
  bool RunUntil(const std::function<bool()>& done, Milliseconds within);
  // Closes the window as the user does: the settings are saved, the port closed.
  void Close();

  int Ticks() const { return static_cast<int>(views_.size()); }
  // What the window showed at the end of each tick, the first tick first.
  const std::vector<WindowView>& Views() const { return views_; }
  WindowView View() const;
  // Panel 3 as a number: 0 while empty, none when it holds no number.
  std::optional<long> ErrorCount() const;
  std::string Message() const;
  // Beats of a 10 ms timer that came while an exchange held the port: they
  // show that window events ran during the waits on the line.
  long EventsDuringExchanges() const { return eventsDuringExchanges_; }
  std::string Stderr() const { return stderr_.Text(); }

  FormMain& Window() { return *window_.form; }
  WindowTools& Tools() { return *window_.tools; }
  ScriptedDialogs& Dialogs() { return dialogs_; }
  MemorySettingsStore& Settings() { return settings_; }

 private:
  ScopedPortMap ports_;
  CapturedStderr stderr_;
  SteadyClock clock_;
  QtEventPump pump_;
  MemorySettingsStore settings_;
  ScriptedDialogs dialogs_;
  MainWindow window_;
  QTimer heartbeat_;
  long eventsDuringExchanges_ = 0;
  std::vector<WindowView> views_;
};

}  // namespace dornvel::testing
