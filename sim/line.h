#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace dornvel::sim {

// The framing a master has put on the line, as termios reports it.
struct LineSettings {
  unsigned baud = 0;  // 0 when the speed code has no number in our table
  int dataBits = 8;
  char parity = 'N';
  int stopBits = 1;

  bool operator==(const LineSettings&) const = default;
};

// "9600,N,8,2", the form the master's settings texts take.
std::string Describe(const LineSettings& settings);

// The simulator's end of the serial line: a pseudo-terminal it made, or a
// real port. The descriptor is non-blocking.
class Line {
 public:
  virtual ~Line() = default;

  virtual int Fd() const = 0;
  // What a master opens: the pseudo-terminal's slave path, or the port.
  virtual const std::string& Path() const = 0;

  // The settings the master put on the line, when the simulator can see
  // them (a pseudo-terminal carries no signal, so speed and framing are
  // only numbers the master set); empty for a real port, where the UART
  // runs at the simulator's own rate and a master at another rate is heard
  // as noise.
  virtual std::optional<LineSettings> MasterSettings() const = 0;

  // The device's new rate. A real port is reprogrammed after the output has
  // drained; a pseudo-terminal has nothing to change.
  virtual void SetRate(unsigned baud) = 0;

  // Hanging up closes the simulator's end(s): a master reading a
  // pseudo-terminal sees the hang-up and its path disappears. Coming back
  // opens a new pseudo-terminal (usually with another path) or reopens the
  // port.
  virtual void HangUp() = 0;
  virtual void ComeBack() = 0;
  virtual bool IsUp() const = 0;
};

// Both throw std::runtime_error when the line cannot be opened.
std::unique_ptr<Line> OpenPseudoTerminal(unsigned baud);
std::unique_ptr<Line> OpenSerialPort(const std::string& path, unsigned baud);

// Reads what is waiting on the line (possibly nothing). Throws
// std::runtime_error when the line fails.
std::vector<std::uint8_t> ReadAvailable(const Line& line);

// Writes all bytes, waiting while the line's buffer is full, but no longer
// than about a second in all (a pseudo-terminal that nobody reads fills up).
// Returns the number of bytes written.
std::size_t WriteLine(const Line& line, std::span<const std::uint8_t> bytes);

}  // namespace dornvel::sim
