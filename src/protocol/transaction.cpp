#include "protocol/transaction.h"

#include <algorithm>

#include "protocol/clock.h"
#include "protocol/error_texts.h"
#include "protocol/event_pump.h"
#include "protocol/host_window.h"
#include "protocol/line.h"
#include "protocol/line_settings.h"
#include "protocol/reply_framing.h"
#include "protocol/serial_control.h"
#include "protocol/status_panels.h"

namespace dornvel {

namespace {

using namespace std::chrono_literals;

// A meter answers within milliseconds; 2 s also covers a slow one and a USB
// adapter that holds bytes back, and is the longest a tick waits for a reply.
constexpr Duration kFirstByteTimeout = 2s;
// A reply's bytes follow each other within 1.5 characters (under 2 ms even at
// 9600 baud), and a USB adapter passes them on at least every 16 ms: 0.1 s
// without a new byte can only be the end of the reply.
constexpr Duration kEndOfReplySilence = 100ms;
// Bounds that keep a babbling line from holding the window: the longest RTU frame
// is 256 bytes, and a reply is over 2 s after its first byte at the latest.
constexpr int kLongestFrame = 256;
constexpr Duration kLongestReply = 2s;
// A port whose output never drains (a driver that has lost the device) would
// hold the tick for ever: the request's own line time and 1 s more is enough.
constexpr Duration kDrainAllowance = 1s;
// As long as a tag waits for the window's busy flag before it goes on anyway.
constexpr Duration kPortBusyLimit = std::chrono::seconds(kCommFreeLimitSeconds);

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

// Waits for the first byte of input until `deadline`.
void WaitForFirstByte(SerialControl& port, TimePoint deadline, ProtocolServices services) {
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

void WaitCommFree(HostWindow* window, ProtocolServices services, std::string_view tagName, int limitSeconds) {
  if (!window) return;
  TimePoint deadline = services.clock.Now() + std::chrono::seconds(limitSeconds);
  while (window->CommBusy()) {
    TimePoint now = services.clock.Now();
    if (now >= deadline) break;
    services.pump.WaitForEvents(deadline - now);
  }
  if (window->CommBusy()) ShowMessage(window, status_text::Busy(tagName));
}

std::optional<Bytes> Exchange(Line& line, HostWindow* window, ProtocolServices services, const Bytes& request,
                              std::string_view tagName) {
  if (!line.WaitForExchangeEnd(services, kPortBusyLimit)) {
    ShowMessage(window, status_text::Busy(tagName));
    return std::nullopt;
  }
  Line::ExchangeScope exchange(line);
  SerialControl& port = line.Port();

  port.SetPortOpen(true);
  if (!port.PortOpen()) {
    ShowMessage(window, status_text::kPortNotOpen);
    return std::nullopt;
  }
  if (port.InBufferCount() > 0) {
    ShowMessage(window, status_text::kStaleInput);
    // Most likely the late reply to the unanswered request: gone with the rest.
    line.NoteInStep();
  }
  port.Input();

  port.SetOutput(request);
  port.Trace(TraceDirection::Request, tagName, request);
  DrainOutput(port, services, request.size());
  const TimePoint firstByteDeadline = services.clock.Now() + kFirstByteTimeout;
  WaitForFirstByte(port, firstByteDeadline, services);
  CollectUntilSilence(port, services);
  // Bytes that arrive after the count was taken are read but not examined.
  auto take = [&port] {
    const int count = port.InBufferCount();
    Bytes input = port.Input();
    input.resize(std::min(input.size(), static_cast<std::size_t>(count)));
    return input;
  };
  Bytes reply = take();
  // An echoing adapter's copy of the request, and nothing after it yet: the
  // reply is still to come, within the same first-byte time.
  const bool echoAlone = OnlyEchoSoFar(reply, request) && reply.size() == request.size();
  if (echoAlone) {
    WaitForFirstByte(port, firstByteDeadline, services);
    CollectUntilSilence(port, services);
    const Bytes rest = take();
    reply.insert(reply.end(), rest.begin(), rest.end());
  }
  if (!port.PortOpen()) {  // closed under us by a handler that ran during the wait
    ShowMessage(window, status_text::kPortNotOpen);
    return std::nullopt;
  }
  reply.erase(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(EchoLength(reply, request)));
  if (reply.empty() || (echoAlone && reply == request)) {
    line.NoteUnanswered(request);
    ShowMessage(window, status_text::Timeout(tagName));
    IncError(window);
    return std::nullopt;
  }
  port.Trace(TraceDirection::Reply, tagName, reply);
  return reply;
}

}  // namespace dornvel
