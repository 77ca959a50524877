#include "harness/window_rig.h"

#include <QApplication>
#include <QPalette>
#include <QTimer>

#include "harness/device_frames.h"
#include "tags/mb_collection.h"

namespace dornvel::testing {

WindowRig::WindowRig(std::set<int> openablePorts) {
  window = std::make_unique<FormMain>(
      ProtocolServices{pump, clock},
      [&](HostWindow* parent) {
        auto control = std::make_unique<PortsSerialControl>(clock, pump, parent, openablePorts);
        port = control.get();
        return control;
      },
      settings, dialogs);
}

void WindowRig::Start() {
  window->Form_Load();
  window->findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
}

void WindowRig::AnswerFirstTick() {
  port->ExpectReply(frames::kReadNolu, frames::kNolu12_5);
  port->ExpectReply(frames::kReadSwitch, frames::kSwitch7);
  port->ExpectReply(frames::kReadSlaveId, frames::kSlaveId1);
  port->ExpectReply(frames::kReadBoudrate, frames::kBoudrate9600);
}

MBData& WindowRig::Tag(const char* key) const { return window->Tags()->Item(std::string(key)); }

QColor WindowRig::Background(const char* boxName) const { return Box(boxName)->palette().color(QPalette::Base); }

QColor WindowRig::NormalBackground() const { return QApplication::palette().color(QPalette::Active, QPalette::Base); }

QColor WindowRig::ErrorBackground() const { return QApplication::palette().color(QPalette::Disabled, QPalette::Text); }

}  // namespace dornvel::testing
