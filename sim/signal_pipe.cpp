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

volatile sig_atomic_t writeEnd = -1;

extern "C" void OnSignal(int number) {
  int saved = errno;
  char byte = number == SIGUSR1 ? 'r' : 's';
  [[maybe_unused]] ssize_t n = ::write(writeEnd, &byte, 1);
  errno = saved;
}

bool Install(int number, void (*handler)(int)) {
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
  readEnd_ = ends[0];
  writeEnd = ends[1];
  if (!Install(SIGINT, OnSignal) || !Install(SIGTERM, OnSignal) || !Install(SIGUSR1, OnSignal) ||
      !Install(SIGPIPE, SIG_IGN))
    throw std::runtime_error(std::string("sigaction: ") + std::strerror(errno));
}

SignalPipe::~SignalPipe() {
  // The handlers stay: a second SIGTERM while the process winds down finds
  // no pipe (the write fails harmlessly) instead of ending it by default.
  int end = writeEnd;
  writeEnd = -1;
  ::close(end);
  ::close(readEnd_);
}

SignalPipe::Request SignalPipe::Take() {
  Request request = Request::None;
  char bytes[64];
  ssize_t n;
  while ((n = ::read(readEnd_, bytes, sizeof bytes)) > 0) {
    for (ssize_t i = 0; i < n; ++i) {
      if (bytes[i] == 's')
        request = Request::Stop;
      else if (request == Request::None)
        request = Request::Report;
    }
  }
  return request;
}

}  // namespace dornvel::sim
