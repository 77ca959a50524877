#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <memory>
#include <set>

#include "harness/fakes.h"
#include "harness/memory_settings_store.h"
#include "harness/ports_serial_control.h"
#include "harness/scripted_dialogs.h"
#include "protocol/mb_data.h"
#include "ui/form_main.h"

namespace dornvel::testing {

// The window with every service it uses scripted: fake clock and pump, settings
// in memory, scripted boxes and a scripted serial control on which the ports in
// `openablePorts` open.
struct WindowRig {
  explicit WindowRig(std::set<int> openablePorts = {1});

  // Runs start-up, then stops the polling timer so that ticks happen only when a
  // test calls them.
  void Start();
  // Scripts a tick in which every tag answers: nolu 12.5, switch 7, slave id 1,
  // baud rate 9600 (the holding registers are read on the first tick only).
  void AnswerFirstTick();

  QLineEdit* Box(const char* name) const { return window->findChild<QLineEdit*>(QString::fromUtf8(name)); }
  QComboBox* List(const char* name) const { return window->findChild<QComboBox*>(QString::fromUtf8(name)); }
  MBData& Tag(const char* key) const;
  QColor Background(const char* boxName) const;
  QColor NormalBackground() const;
  QColor ErrorBackground() const;

  FakeClock clock;
  FakeEventPump pump{clock};
  MemorySettingsStore settings;
  ScriptedDialogs dialogs;
  PortsSerialControl* port = nullptr;
  // Last, so that it goes first: its serial control checks its script on the way.
  std::unique_ptr<FormMain> window;
};

}  // namespace dornvel::testing
