#include "harness/ports_serial_control.h"

namespace dornvel::testing {

void PortsSerialControl::SetPortOpen(bool open) {
  if (!open || PortOpen() || CommPort() == kNoPort) {
    ScriptedSerialControl::SetPortOpen(open);
    return;
  }
  openable = openablePorts.contains(CommPort());
  ScriptedSerialControl::SetPortOpen(true);
  openings.push_back({CommPort(), Settings(), PortOpen()});
}

}  // namespace dornvel::testing
