#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "temp_dir.h"

// Test-side tools for driving the real dornvel-sim process over its
// pseudo-terminal: the process itself, a small Modbus RTU client and a CRC
// of the test's own (table-driven, unlike the simulator's bitwise one).
namespace dornvel::e2e {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;
using Milliseconds = std::chrono::milliseconds;

std::uint16_t crc16(std::span<const std::uint8_t> bytes);
Bytes with_crc(Bytes frame);
bool crc_is_valid(std::span<const std::uint8_t> frame);
std::string hex(std::span<const std::uint8_t> bytes);

using TempDir = testing::TempDir;

std::string read_text(const std::filesystem::path& file);

// A child process started by its path, its standard output on a pipe, its
// standard error into a file. Stopped by its id, never by name.
class Process {
 public:
  Process(const std::string& program, const std::vector<std::string>& arguments,
          const std::filesystem::path& stderr_file);
  ~Process();  // a process still running is killed and reaped
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  pid_t pid() const { return pid_; }

  // The next line of standard output, without its newline, or nothing when
  // none comes within the time.
  std::optional<std::string> next_line(Milliseconds within);
  // Everything until the process closes standard output.
  std::string rest_of_output(Milliseconds within);

  // Sends `signal` (unless 0) and waits for the exit: the exit code, or
  // 128 + the signal that ended it; nothing when it did not end in time, in
  // which case it is killed.
  std::optional<int> stop(int signal, Milliseconds within);
  std::optional<int> wait_exit(Milliseconds within) { return stop(0, within); }

 private:
  pid_t pid_ = -1;
  int pidfd_ = -1;
  int stdout_ = -1;
  std::string buffer_;
  bool reaped_ = false;
};

// The simulator under test, started with `arguments` plus its log into the
// test's directory; ready once it has printed its path.
class Simulator {
 public:
  Simulator(const TempDir& dir, std::vector<std::string> arguments);

  // The path printed first (empty if it printed nothing in time).
  const std::string& path() const { return path_; }
  Process& process() { return process_; }

  // SIGTERM and the exit code (nothing if it did not stop in time).
  std::optional<int> stop();

  std::string log() const { return read_text(log_file_); }
  std::string errors() const { return read_text(stderr_file_); }

  // The counters of the summary line printed on exit ("silence" -> 1 ...).
  std::map<std::string, long> counters() const;

 private:
  std::filesystem::path log_file_;
  std::filesystem::path stderr_file_;
  Process process_;
  std::string path_;
};

// The master's side of the line, as a test sees it: a raw serial port with
// 8 data bits, the given speed, parity and stop bits.
class RtuClient {
 public:
  explicit RtuClient(const std::string& path, speed_t speed = B9600, int stop_bits = 2, char parity = 'N');
  ~RtuClient();
  RtuClient(const RtuClient&) = delete;
  RtuClient& operator=(const RtuClient&) = delete;

  void set_line(speed_t speed, int stop_bits = 2, char parity = 'N');

  void send(const Bytes& frame);
  // Collects a reply: waits up to `first_byte` for its start, then until
  // `silence` passes without a byte. Empty when nothing came.
  Bytes receive(Milliseconds first_byte = 1000ms, Milliseconds silence = 60ms);
  // Sends the request with its CRC and returns the reply.
  Bytes transact(const Bytes& request_without_crc, Milliseconds first_byte = 1000ms, Milliseconds silence = 60ms);

  // True when the other end hung up within the time.
  bool sees_hang_up(Milliseconds within);

  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

Bytes read_reply(int fd, Milliseconds first_byte, Milliseconds silence);

}  // namespace dornvel::e2e
