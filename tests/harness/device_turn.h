#pragma once

#include <chrono>
#include <thread>
#include <vector>

#include "harness/pseudo_terminal.h"
#include "protocol/bytes.h"

namespace dornvel::testing {

// The meter's part in one exchange, played on a thread of its own on the master
// side of a pseudo-terminal: it waits for a request of `requestSize` bytes, then
// sends the reply piece by piece, each after its pause.
class DeviceTurn {
 public:
  struct Piece {
    std::chrono::milliseconds pause;
    Bytes bytes;
  };

  DeviceTurn(PseudoTerminal& pty, std::size_t requestSize, std::vector<Piece> reply);
  ~DeviceTurn() { Finish(); }
  DeviceTurn(const DeviceTurn&) = delete;
  DeviceTurn& operator=(const DeviceTurn&) = delete;

  // Waits until the device has played its part; returns the request it received.
  const Bytes& Finish();

 private:
  std::thread thread_;
  Bytes request_;
};

}  // namespace dornvel::testing
