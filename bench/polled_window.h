#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/qt_dialogs.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_settings_store.h"
#include "platform/steady_clock.h"
#include "ui/form_main.h"

namespace dornvel::bench {

// The program's window put together as main() does (Qt serial control, event
// pump, clock, settings file, dialogs), in this process, polling the device on
// `devicePath` as Com1. The other port numbers name nothing. Its own timer is
// stopped: the figures drive ticks back to back instead of once a second, so
// that a thousand ticks take minutes rather than a quarter of an hour.
class PolledWindow {
 public:
  PolledWindow(const std::string& devicePath, const std::filesystem::path& settingsFile);
  ~PolledWindow();

  // Runs ticks one after another, the event loop running between them, while
  // `afterTick(n)` (n from 1) says to go on. Returns the number of ticks run;
  // fewer than asked when a tick has not ended within 30 s.
  int RunTicks(const std::function<bool(int)>& afterTick);

  // The window's error count (status bar panel 3); 0 while empty.
  long ErrorCount() const;

 private:
  SteadyClock clock_;
  QtEventPump pump_;
  QtSettingsStore settings_;
  QtDialogs dialogs_;
  std::unique_ptr<FormMain> window_;
};

}  // namespace dornvel::bench
