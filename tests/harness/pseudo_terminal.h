#pragma once

#include <termios.h>

#include <chrono>
#include <cstddef>
#include <string>

#include "protocol/bytes.h"

namespace dornvel::testing {

using SteadyTime = std::chrono::steady_clock::time_point;

// A pseudo-terminal pair on which the test plays the device: the control under
// test opens SlavePath(), the test reads requests from and writes replies to the
// master side. The pair keeps a slave descriptor of its own, so that the master
// does not see a hang-up while the control has the port closed.
class PseudoTerminal {
 public:
  PseudoTerminal();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& SlavePath() const { return slavePath_; }

  // What the control sent, up to `count` bytes; fewer when the deadline passes.
  Bytes Read(std::size_t count, SteadyTime deadline);
  void Write(const Bytes& bytes);
  // True once `count` bytes written by the device wait on the control's side.
  bool WaitUntilDelivered(std::size_t count, SteadyTime deadline);
  // The line parameters the control has set on the port.
  termios Line() const;
  // The device goes away: both descriptors of the pair are closed.
  void HangUp();

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

inline SteadyTime In(std::chrono::steady_clock::duration d) { return std::chrono::steady_clock::now() + d; }

}  // namespace dornvel::testing
