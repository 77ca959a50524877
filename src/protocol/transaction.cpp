#include "protocol/transaction.h"

#include <algorithm>

#include "protocol/clock.h"
#include "protocol/error_texts.h"
#include "protocol/event_pump.h"
#include "protocol/host_window.h"
#include "protocol/line_settings.h"
#include "protocol/serial_control.h"
#include "protocol/status_panels.h"

namespace dornvel {

namespace {

using namespace std::chrono_literals;

constexpr Duration kFirstByteTimeout = 2s;
constexpr Duration kEndOfReplySilence = 100ms;
// Bounds that keep a babbling line from holding the window: the longest RTU frame
// is 256 bytes, and a reply is over 2 s after its first byte at the latest.
constexpr int kLongestFrame = 256;
constexpr Duration kLongestReply = 2s;
constexpr Duration kDrainAllowance = 1s;
constexpr Duration kPortBusyLimit = 30s;

// Marks the port as owned by one exchange for the scope's life.
class PortOwnership {
 public:
  explicit PortOwnership(SerialControl& port) : port_(port) { port_.TransactionInProgress = true; }
  ~PortOwnership() { port_.TransactionInProgress = false; }
  PortOwnership(const PortOwnership&) = delete;
  PortOwnership& operator=(const PortOwnership&) = delete;

 private:
  SerialControl& port_;
};

bool WaitForPort(SerialControl& port, ProtocolServices services) {
  TimePoint deadline = services.clock.Now() + kPortBusyLimit;
  while (port.TransactionInProgress) {
    TimePoint now = services.clock.Now();
    if (now >= deadline) return false;
    services.pump.WaitForEvents(deadline - now);
  }
  return true;
}

// Waits until the request has left, letting events run; gives up after 1 s plus
// the frame's line time and drops what was not sent.
void DrainOutput(SerialControl& port, ProtocolServices services, std::size_t frameSize) {
  auto settings = ParseLineSettings(port.Settings()).value_or(LineSettings{});
  TimePoint deadline = services.clock.Now() + kDrainAllowance + settings.CharacterTime() * static_cast<int>(frameSize);
  while (port.OutBufferCount() > 0 && port.PortOpen()) {
    TimePoint now = services.clock.Now();
    if (now >= deadline) {
      port.DropOutput();
      return;
    }
    port.WaitForOutputDrained(deadline - now, WaitEvents::Run);
  }
}

void WaitForFirstByte(SerialControl& port, ProtocolServices services) {
  TimePoint deadline = services.clock.Now() + kFirstByteTimeout;
  while (port.InBufferCount() == 0 && port.PortOpen()) {
    TimePoint now = services.clock.Now();
    if (now >= deadline) return;
    port.WaitForInput(deadline - now, WaitEvents::Run);
  }
}

// Collects until the count has stayed the same for 0.1 s. Holds window events
// back: nothing may run between the bytes of one reply.
void CollectUntilSilence(SerialControl& port, ProtocolServices services) {
  int count = port.InBufferCount();
  TimePoint lastChange = services.clock.Now();
  TimePoint giveUp = lastChange + kLongestReply;
  while (count < kLongestFrame && port.PortOpen()) {
    TimePoint now = services.clock.Now();
    TimePoint quietEnd = std::min(lastChange + kEndOfReplySilence, giveUp);
    if (now >= quietEnd) return;
    port.WaitForInput(quietEnd - now, WaitEvents::Hold);
    int arrived = port.InBufferCount();
    if (arrived != count) {
      count = arrived;
      lastChange = services.clock.Now();
    }
  }
}

}  // namespace

void WaitCommFree(SerialControl& port, ProtocolServices services, std::string_view tagName, int limitSeconds) {
  HostWindow* window = port.Parent();
  if (!window) return;
  TimePoint deadline = services.clock.Now() + std::chrono::seconds(limitSeconds);
  while (window->CommBusy()) {
    TimePoint now = services.clock.Now();
    if (now >= deadline) break;
    services.pump.WaitForEvents(deadline - now);
  }
  if (window->CommBusy()) ShowMessage(window, status_text::Busy(tagName));
}

std::optional<Bytes> Exchange(SerialControl& port, ProtocolServices services, const Bytes& request,
                              std::string_view tagName) {
  HostWindow* window = port.Parent();
  if (!WaitForPort(port, services)) {
    ShowMessage(window, status_text::Busy(tagName));
    return std::nullopt;
  }
  PortOwnership ownership(port);

  port.SetPortOpen(true);
  if (!port.PortOpen()) {
    ShowMessage(window, status_text::kPortNotOpen);
    return std::nullopt;
  }
  if (port.InBufferCount() > 0) {
    ShowMessage(window, status_text::kStaleInput);
    // Most likely the late reply to the unanswered request: gone with the rest.
    port.UnansweredRequest.reset();
  }
  port.Input();

  port.SetOutput(request);
  port.Trace(TraceDirection::Request, tagName, request);
  DrainOutput(port, services, request.size());
  WaitForFirstByte(port, services);
  CollectUntilSilence(port, services);
  if (!port.PortOpen()) {  // closed under us by a handler that ran during the wait
    ShowMessage(window, status_text::kPortNotOpen);
    return std::nullopt;
  }

  int count = port.InBufferCount();
  if (count == 0) {
    port.UnansweredRequest = request;
    ShowMessage(window, status_text::Timeout(tagName));
    IncError(window);
    return std::nullopt;
  }
  // Bytes that arrive after the count was taken are read but not examined.
  Bytes reply = port.Input();
  reply.resize(std::min(reply.size(), static_cast<std::size_t>(count)));
  port.Trace(TraceDirection::Reply, tagName, reply);
  return reply;
}

}  // namespace dornvel
