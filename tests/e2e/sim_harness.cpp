#include "sim_harness.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace dornvel::e2e {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::array<std::uint16_t, 256> make_crc_table() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    std::uint16_t value = static_cast<std::uint16_t>(i);
    for (int bit = 0; bit < 8; ++bit)
      value = (value & 1) ? static_cast<std::uint16_t>((value >> 1) ^ 0xA001) : static_cast<std::uint16_t>(value >> 1);
    table[i] = value;
  }
  return table;
}

constexpr auto crc_table = make_crc_table();

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

int remaining_ms(Clock::time_point deadline) {
  auto left = std::chrono::ceil<Milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

void configure(int fd, speed_t speed, int stop_bits, char parity) {
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) fail("tcgetattr");
  cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD);
  tio.c_cflag |= CS8 | CREAD | CLOCAL;
  if (stop_bits == 2) tio.c_cflag |= CSTOPB;
  if (parity == 'E') tio.c_cflag |= PARENB;
  if (parity == 'O') tio.c_cflag |= PARENB | PARODD;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  cfsetispeed(&tio, speed);
  cfsetospeed(&tio, speed);
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) fail("tcsetattr");
}

}  // namespace

std::uint16_t crc16(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0xFFFF;
  for (std::uint8_t byte : bytes) crc = static_cast<std::uint16_t>((crc >> 8) ^ crc_table[(crc ^ byte) & 0xFF]);
  return crc;
}

Bytes with_crc(Bytes frame) {
  std::uint16_t crc = crc16(frame);
  frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<std::uint8_t>(crc >> 8));
  return frame;
}

bool crc_is_valid(std::span<const std::uint8_t> frame) {
  if (frame.size() < 3) return false;
  std::uint16_t crc = crc16(frame.first(frame.size() - 2));
  return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

std::string hex(std::span<const std::uint8_t> bytes) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t byte : bytes) {
    if (!text.empty()) text += ' ';
    text += digits[byte >> 4];
    text += digits[byte & 0x0F];
  }
  return text;
}

std::string read_text(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

Process::Process(const std::string& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path& stderr_file) {
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) fail("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, stderr_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  int rc = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (rc != 0) {
    ::close(out[0]);
    errno = rc;
    fail("posix_spawn " + program);
  }
  stdout_ = out[0];
  pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
  if (pidfd_ < 0) fail("pidfd_open");
}

Process::~Process() {
  if (!reaped_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  ::close(pidfd_);
  ::close(stdout_);
}

std::optional<std::string> Process::next_line(Milliseconds within) {
  const auto deadline = Clock::now() + within;
  while (true) {
    if (auto newline = buffer_.find('\n'); newline != std::string::npos) {
      std::string line = buffer_.substr(0, newline);
      buffer_.erase(0, newline + 1);
      return line;
    }
    pollfd out{stdout_, POLLIN, 0};
    int ready = ::poll(&out, 1, remaining_ms(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    char chunk[256];
    ssize_t n = ::read(stdout_, chunk, sizeof chunk);
    if (n <= 0) return std::nullopt;
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
}

std::string Process::rest_of_output(Milliseconds within) {
  const auto deadline = Clock::now() + within;
  while (true) {
    pollfd out{stdout_, POLLIN, 0};
    int ready = ::poll(&out, 1, remaining_ms(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    char chunk[4096];
    ssize_t n = ::read(stdout_, chunk, sizeof chunk);
    if (n <= 0) break;
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
  std::string all;
  all.swap(buffer_);
  return all;
}

std::optional<int> Process::stop(int signal, Milliseconds within) {
  if (reaped_) return std::nullopt;
  if (signal != 0) ::kill(pid_, signal);
  pollfd exited{pidfd_, POLLIN, 0};
  int ready;
  do {
    ready = ::poll(&exited, 1, static_cast<int>(within.count()));
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    reaped_ = true;
    return std::nullopt;
  }
  int status = 0;
  ::waitpid(pid_, &status, 0);
  reaped_ = true;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + WTERMSIG(status);
}

namespace {

std::vector<std::string> with_log(std::vector<std::string> arguments, const std::filesystem::path& log) {
  arguments.push_back("--log");
  arguments.push_back(log.string());
  return arguments;
}

}  // namespace

Simulator::Simulator(const TempDir& dir, std::vector<std::string> arguments)
    : log_file_(dir / "traffic.log"),
      stderr_file_(dir / "stderr.txt"),
      process_(DORNVEL_SIM_PATH, with_log(std::move(arguments), dir / "traffic.log"), dir / "stderr.txt") {
  path_ = process_.next_line(3000ms).value_or("");
}

std::optional<int> Simulator::stop() { return process_.stop(SIGTERM, 3000ms); }

std::map<std::string, long> Simulator::counters() const {
  std::map<std::string, long> counters;
  std::string text = errors();
  auto summary = text.rfind("dornvel-sim: requests=");
  if (summary == std::string::npos) return counters;
  std::string line = text.substr(summary, text.find('\n', summary) - summary);
  static const std::regex pair(R"(([a-z-]+)=(\d+))");
  for (auto it = std::sregex_iterator(line.begin(), line.end(), pair); it != std::sregex_iterator(); ++it)
    counters[(*it)[1]] = std::stol((*it)[2]);
  return counters;
}

RtuClient::RtuClient(const std::string& path, speed_t speed, int stop_bits, char parity) {
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) fail("open " + path);
  set_line(speed, stop_bits, parity);
}

RtuClient::~RtuClient() { ::close(fd_); }

void RtuClient::set_line(speed_t speed, int stop_bits, char parity) { configure(fd_, speed, stop_bits, parity); }

void RtuClient::send(const Bytes& frame) {
  if (::write(fd_, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) fail("write request");
}

Bytes RtuClient::receive(Milliseconds first_byte, Milliseconds silence) { return read_reply(fd_, first_byte, silence); }

Bytes RtuClient::transact(const Bytes& request_without_crc, Milliseconds first_byte, Milliseconds silence) {
  ::tcflush(fd_, TCIFLUSH);
  send(with_crc(request_without_crc));
  return receive(first_byte, silence);
}

bool RtuClient::sees_hang_up(Milliseconds within) {
  const auto deadline = Clock::now() + within;
  while (true) {
    pollfd line{fd_, POLLIN, 0};
    int ready = ::poll(&line, 1, remaining_ms(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    if (line.revents & POLLHUP) return true;
    char scratch[256];
    if (::read(fd_, scratch, sizeof scratch) == 0) return true;
  }
}

Bytes read_reply(int fd, Milliseconds first_byte, Milliseconds silence) {
  Bytes reply;
  auto deadline = Clock::now() + first_byte;
  while (true) {
    pollfd line{fd, POLLIN, 0};
    int ready = ::poll(&line, 1, remaining_ms(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return reply;
    std::uint8_t chunk[512];
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n <= 0) return reply;  // hung up
    reply.insert(reply.end(), chunk, chunk + n);
    deadline = Clock::now() + silence;
  }
}

}  // namespace dornvel::e2e
