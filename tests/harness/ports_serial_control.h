#pragma once

#include <set>
#include <string>
#include <vector>

#include "harness/fakes.h"

namespace dornvel::testing {

// A scripted serial control on which only some port numbers open, noting every
// attempt to open the closed port.
class PortsSerialControl : public ScriptedSerialControl {
 public:
  struct Opening {
    int port;
    std::string settings;
    bool opened;
    bool operator==(const Opening&) const = default;
  };

  PortsSerialControl(FakeClock& clock, FakeEventPump& pump, HostWindow* parent, std::set<int> openablePorts)
      : ScriptedSerialControl(clock, pump, parent), openablePorts(openablePorts), presentPorts(openablePorts) {}

  void SetPortOpen(bool open) override;
  bool PortPresent(int number) const override { return presentPorts.contains(number); }

  std::set<int> openablePorts;
  // The ports the list finds when it is opened; at first those that open.
  std::set<int> presentPorts;
  std::vector<Opening> openings;
};

}  // namespace dornvel::testing
