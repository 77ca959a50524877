#pragma once

#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "memory_settings_store.h"
#include "platform/qt_event_pump.h"
#include "platform/steady_clock.h"
#include "scoped_env.h"
#include "scripted_dialogs.h"
#include "sim_harness.h"
#include "ui/form_main.h"

// The program against the real dornvel-sim: its window in this process, or its
// binary as a child process, with Com1 mapped to the simulator's link.
namespace dornvel::e2e {

// Com1 names `com1`; every other port number names no device, so the start-up
// scan touches no real port of the machine.
class PortsMappedTo {
 public:
  explicit PortsMappedTo(const std::string& com1);

 private:
  std::vector<std::unique_ptr<testing::ScopedEnv>> variables_;
};

// What the window showed when a tick had finished.
struct TickView {
  std::string nolu;
  std::string switchValue;
  std::string slaveid;
  std::string boudrate;
  std::string errorCount;  // panel 3
  std::string message;     // panel 4
};

// The real window with the Qt serial control, started on the simulator's link
// with the given saved settings ("Properties/Slave" -> "17"); input boxes are
// answered from `dialogs`.
class WindowOnSimulator {
 public:
  explicit WindowOnSimulator(const std::string& com1, std::map<QString, QString> savedSettings = {});
  ~WindowOnSimulator();
  WindowOnSimulator(const WindowOnSimulator&) = delete;
  WindowOnSimulator& operator=(const WindowOnSimulator&) = delete;

  // Runs the event loop until `count` more ticks have finished; false when the
  // deadline came first.
  bool RunTicks(int count, Milliseconds deadline = 20s);
  // Closes the window, which saves the settings and closes the port.
  void Close();

  FormMain& window() { return *window_; }
  // One view per finished tick, the first tick first.
  const std::vector<TickView>& views() const { return views_; }

  testing::ScriptedDialogs dialogs;

 private:
  PortsMappedTo ports_;
  SteadyClock clock_;
  QtEventPump pump_;
  testing::MemorySettingsStore settings_;
  std::unique_ptr<FormMain> window_;
  std::vector<TickView> views_;
};

// The dornvel binary on the simulator's link, with its traffic trace on and its
// settings in `dir`, closing itself after `ticks` ticks.
class ProgramProcess {
 public:
  ProgramProcess(const TempDir& dir, const std::string& com1, int ticks);

  // The exit code once it has closed itself (nothing when it did not in time).
  std::optional<int> WaitForExit(Milliseconds within);
  std::string Trace() const { return read_text(stderr_file_); }

 private:
  std::filesystem::path stderr_file_;
  std::unique_ptr<Process> process_;
};

// One line of the simulator's traffic log: "RX" request, "TX" reply, "EV" event.
struct LogLine {
  double seconds = 0;
  std::string kind;
  std::string text;  // the bytes in hex, or the event's text
};
std::vector<LogLine> TrafficLog(const std::string& log);
std::vector<std::string> Requests(const std::vector<LogLine>& log);

// The requests of the program's own trace ("1.082 nolu -> 01 04 ..."), in hex.
std::vector<std::string> TracedRequests(const std::string& trace);

}  // namespace dornvel::e2e
