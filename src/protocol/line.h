#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/clock.h"
#include "protocol/protocol_services.h"

namespace dornvel {

class SerialControl;

// The one serial line that polling and the tools share. It knows whether an
// exchange runs on it, which tool holds it, and the request still unanswered,
// so that the serial control below it does only I/O.
//
// Everything runs on one thread (a tool that polls on a thread of its own
// holds this line, and runs its exchanges on a line and control of its own
// there): a wait lets window events run, and those may start another exchange
// or ask for the line. Exchanges therefore mark the line while they run, and a
// tool takes the line only between exchanges.
class Line {
 public:
  explicit Line(SerialControl& port) : port_(port) {}
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  SerialControl& Port() const { return port_; }

  // Marks one exchange as running for the scope's life.
  class ExchangeScope {
   public:
    explicit ExchangeScope(Line& line) : line_(line) { line_.exchangeRunning_ = true; }
    ~ExchangeScope() { line_.exchangeRunning_ = false; }
    ExchangeScope(const ExchangeScope&) = delete;
    ExchangeScope& operator=(const ExchangeScope&) = delete;

   private:
    Line& line_;
  };
  bool ExchangeRunning() const { return exchangeRunning_; }
  // Lets events run until no exchange runs; false when `limit` passed first.
  bool WaitForExchangeEnd(ProtocolServices services, Duration limit) const;

  // A tool's hold on the line: polling starts no exchange while it lasts. When
  // it ends, the port is put back as it was (number, settings, open or closed),
  // what was on its way to polling's last request is forgotten (the tool's own
  // traffic went with it), and those waiting for the line are told.
  class Hold {
   public:
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

    Line& TheLine() const { return line_; }
    // Closes the port, sets it to `baud` with 8 data bits, no parity and 2 stop
    // bits, and opens it again; false when it does not open.
    bool OpenAt(int baud);
    // The rate the port is set to now.
    int Rate() const;

   private:
    friend class Line;
    explicit Hold(Line& line);

    Line& line_;
    const int number_;
    const std::string settings_;
    const bool wasOpen_;
  };

  // Null while another tool holds the line or an exchange runs: waiting for an
  // exchange that may itself be waiting below the caller could never end, so a
  // tool asks from the event loop, between ticks.
  std::unique_ptr<Hold> Take(std::string holder);
  bool Held() const { return !holder_.empty(); }
  // The name of the tool that holds the line; empty when none does.
  const std::string& Holder() const { return holder_; }
  // Called each time a hold ends.
  void OnReleased(std::function<void()> listener) { releaseListeners_.push_back(std::move(listener)); }

  // The last request sent that got no acceptable reply, while that reply may
  // still be on its way; none once the line is known to be in step.
  const std::optional<Bytes>& UnansweredRequest() const { return unanswered_; }
  void NoteUnanswered(const Bytes& request) { unanswered_ = request; }
  void NoteInStep() { unanswered_.reset(); }

 private:
  SerialControl& port_;
  bool exchangeRunning_ = false;
  std::string holder_;
  std::optional<Bytes> unanswered_;
  std::vector<std::function<void()>> releaseListeners_;
};

}  // namespace dornvel
