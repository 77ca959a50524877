#include "harness/process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace dornvel::testing {

namespace {

using SteadyClock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

int RemainingMs(SteadyClock::time_point deadline) {
  const auto left = std::chrono::ceil<Milliseconds>(deadline - SteadyClock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// "NAME=value" entries: this process's environment with `changes` applied.
std::vector<std::string> ChildEnvironment(const EnvironmentChanges& changes) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (!changes.contains(text.substr(0, text.find('=')))) entries.push_back(text);
  }
  for (const auto& [name, value] : changes) {
    if (value) entries.push_back(name + "=" + *value);
  }
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

Process::Process(const std::string& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path& stderrFile, const EnvironmentChanges& environment) {
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) Fail("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

  std::vector<std::string> argumentTexts = {program};
  argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environmentTexts = ChildEnvironment(environment);
  const int rc = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, Pointers(argumentTexts).data(),
                               Pointers(environmentTexts).data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (rc != 0) {
    ::close(out[0]);
    errno = rc;
    Fail("posix_spawn " + program);
  }
  stdout_ = out[0];
  pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
  if (pidfd_ < 0) Fail("pidfd_open");
}

Process::~Process() {
  if (!reaped_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  ::close(pidfd_);
  ::close(stdout_);
}

std::optional<std::string> Process::NextLine(Milliseconds within) {
  const auto deadline = SteadyClock::now() + within;
  while (true) {
    if (const auto newline = buffer_.find('\n'); newline != std::string::npos) {
      std::string line = buffer_.substr(0, newline);
      buffer_.erase(0, newline + 1);
      return line;
    }
    pollfd out{stdout_, POLLIN, 0};
    const int ready = ::poll(&out, 1, RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    char chunk[256];
    const ssize_t n = ::read(stdout_, chunk, sizeof chunk);
    if (n <= 0) return std::nullopt;
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
}

std::string Process::RestOfOutput(Milliseconds within) {
  const auto deadline = SteadyClock::now() + within;
  while (true) {
    pollfd out{stdout_, POLLIN, 0};
    const int ready = ::poll(&out, 1, RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    char chunk[4096];
    const ssize_t n = ::read(stdout_, chunk, sizeof chunk);
    if (n <= 0) break;
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
  std::string all;
  all.swap(buffer_);
  return all;
}

std::optional<int> Process::Stop(int signal, Milliseconds within) {
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

}  // namespace dornvel::testing
