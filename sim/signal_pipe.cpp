#include "sim/signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <string>

namespace dornvel::sim {

namespace {

volatile sig_atomic_t write_end = -1;

extern "C" void on_signal(int number) {
  int saved = errno;
  char byte = number == SIGUSR1 ? 'r' : 's';
  [[maybe_unused]] ssize_t n = ::write(write_end, &byte, 1);
  errno = saved;
}

bool install(int number, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  return ::sigaction(number, &action, nullptr) == 0;
}

}  // namespace

SignalPipe::SignalPipe() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
    throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  read_end_ = ends[0];
  write_end = ends[1];
  if (!install(SIGINT, on_signal) || !install(SIGTERM, on_signal) || !install(SIGUSR1, on_signal) ||
      !install(SIGPIPE, SIG_IGN))
    throw std::runtime_error(std::string("sigaction: ") + std::strerror(errno));
}

SignalPipe::~SignalPipe() {
  // The handlers stay: a second SIGTERM while the process winds down finds
  // no pipe (the write fails harmlessly) instead of ending it by default.
  int end = write_end;
  write_end = -1;
  ::close(end);
  ::close(read_end_);
}

SignalPipe::Request SignalPipe::take() {
  Request request = Request::none;
  char bytes[64];
  ssize_t n;
  while ((n = ::read(read_end_, bytes, sizeof bytes)) > 0) {
    for (ssize_t i = 0; i < n; ++i) {
      if (bytes[i] == 's')
        request = Request::stop;
      else if (request == Request::none)
        request = Request::report;
    }
  }
  return request;
}

}  // namespace dornvel::sim
