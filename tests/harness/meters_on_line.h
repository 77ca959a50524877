#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "harness/fakes.h"

namespace dornvel::testing {

// A meter on the fake line, as the line's other end sees it.
struct SimulatedMeter {
  int slave = 1;
  int baudRate = 9600;
  // From the request's last character to the reply's first: a few
  // milliseconds for a prompt meter, a second or more for a slow one.
  Duration turnaround = 5ms;
  // The quiet before a request that the meter needs to take it as a frame of
  // its own; zero means 3.5 characters, the Modbus RTU frame gap. A meter that
  // reads its input in slices needs longer (the simulator on a
  // pseudo-terminal: 20 ms).
  Duration frameSilence{};
  // Hears, but never answers.
  bool dead = false;
  // Register number to value. Holding registers 0 and 1 read the slave id and
  // the rate unless given here; a register not there is refused with
  // exception 2.
  std::map<int, std::uint16_t> holdingRegisters{};
  std::map<int, std::uint16_t> inputRegisters{};
  // Writes of one holding register 0 or 1 (function 16) set the slave id or
  // the rate, from the request after the reply (which goes out at the old
  // settings), while the jumper JP is set; without it they are refused with
  // exception 1.
  bool jumper = false;
  // The write of this holding register gets no reply; the meter takes it
  // only when `takesSilentWrite`.
  std::optional<int> silentWriteOf{};
  bool takesSilentWrite = true;
  // Answers nothing any more after it has taken a write of this register.
  std::optional<int> goneAfterWriteOf{};
  // A read of more registers at once is refused with exception 3.
  int longestRead = 125;
};

// Meters on one fake line, answering reads of holding (3) and input (4)
// registers, and writes of their settings (16), addressed to them at their rate with frames that carry a good
// CRC. A meter is deaf from the end of a request it answers until its reply
// has left; what it heard meanwhile and any request that follows its last
// frame too closely run together into one frame it drops, as a slave that
// times frames by the line's silence does.
class MetersOnLine {
 public:
  explicit MetersOnLine(std::vector<SimulatedMeter> meters);

  // Puts the meters on `line`, which then keeps line time; they must outlive
  // its use.
  void Attach(ScriptedSerialControl& line);

  // The replies of the meters that take `request` as theirs.
  std::vector<ScriptedSerialControl::Reply> Answer(const LineRequest& request);

 private:
  struct OnLine {
    SimulatedMeter meter;
    TimePoint deafUntil{};
  };
  std::vector<OnLine> meters_;
};

}  // namespace dornvel::testing
