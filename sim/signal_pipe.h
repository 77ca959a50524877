#pragma once

namespace dornvel::sim {

// The self-pipe: SIGINT and SIGTERM ask the simulator to stop, SIGUSR1 asks
// for the counters. The handlers only write one byte into a pipe, which the
// main loop polls along with the line. SIGPIPE is ignored, so a closed reader
// of stdout or of the log does not end the simulator.
class SignalPipe {
 public:
  enum class Request { None, Stop, Report };

  SignalPipe();   // installs the handlers; one instance per process
  ~SignalPipe();  // closes the pipe; the handlers stay installed
  SignalPipe(const SignalPipe&) = delete;
  SignalPipe& operator=(const SignalPipe&) = delete;

  int Fd() const { return readEnd_; }

  // Consumes what is pending: stop wins over report.
  Request Take();

 private:
  int readEnd_ = -1;
};

}  // namespace dornvel::sim
