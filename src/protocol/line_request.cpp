#include "protocol/line_request.h"

#include "protocol/reply_framing.h"
#include "protocol/serial_control.h"

namespace dornvel {

namespace {

enum class WaitEnd { Done, TimedOut, Cancelled, PortLost };

template <class Condition>
WaitEnd WaitUntil(SerialControl& port, ProtocolServices services, TimePoint deadline,
                  const std::function<bool()>& cancelled, Condition done) {
  while (true) {
    if (cancelled && cancelled()) return WaitEnd::Cancelled;
    if (!port.PortOpen()) return WaitEnd::PortLost;
    if (done()) return WaitEnd::Done;
    const TimePoint now = services.clock.Now();
    if (now >= deadline) return WaitEnd::TimedOut;
    port.WaitForInput(deadline - now, WaitEvents::Run);
  }
}

bool IsWhole(const Bytes& reply) {
  const auto length = ExpectedReplyLength(reply);
  return length && reply.size() >= *length;
}

}  // namespace

Answer Ask(Line::Hold& hold, ProtocolServices services, const Bytes& request, const AskTiming& timing,
           const std::function<bool()>& cancelled, std::string_view name) {
  SerialControl& port = hold.TheLine().Port();
  Answer answer;
  answer.stale = port.Input();
  port.SetOutput(request);
  port.Trace(TraceDirection::Request, name, request);

  // The reply's first byte is due by `firstByteDeadline`, also after an echo:
  // the adapter echoes while the request goes out. The rest of the reply is
  // timed from its first byte.
  const TimePoint firstByteDeadline = services.clock.Now() + timing.firstByte;
  Bytes& input = answer.reply;
  bool echoLeftOut = false;
  bool replyStarted = false;
  TimePoint deadline = firstByteDeadline;
  auto settled = [&] {
    const Bytes more = port.Input();
    input.insert(input.end(), more.begin(), more.end());
    if (!echoLeftOut && !input.empty() && !OnlyEchoSoFar(input, request)) {
      if (const std::size_t echo = EchoLength(input, request)) {
        input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(echo));
        echoLeftOut = true;
      }
    } else if (!echoLeftOut && input.size() == request.size() && OnlyEchoSoFar(input, request)) {
      input.clear();  // the whole echo, and nothing after it yet
      echoLeftOut = true;
      replyStarted = false;
      deadline = firstByteDeadline;
    }
    if (!replyStarted && !input.empty()) {
      replyStarted = true;
      deadline = services.clock.Now() + timing.restOfReply;
    }
    return replyStarted && (echoLeftOut || !OnlyEchoSoFar(input, request)) && IsWhole(input);
  };
  WaitEnd end;
  while (true) {
    // The deadline moves when the reply starts or an echo ends: wait in steps.
    const TimePoint stepDeadline = deadline;
    end = WaitUntil(port, services, stepDeadline, cancelled, [&] { return settled() || deadline != stepDeadline; });
    if (end != WaitEnd::Done || settled()) break;
  }
  if (end == WaitEnd::TimedOut && port.OutBufferCount() > 0) port.DropOutput();

  if (IsWhole(input) && (end == WaitEnd::Done || end == WaitEnd::TimedOut)) {
    input.resize(*ExpectedReplyLength(input));
    answer.end = AskEnd::Whole;
  } else if (end == WaitEnd::Cancelled) {
    answer.end = AskEnd::Cancelled;
  } else if (end == WaitEnd::PortLost) {
    answer.end = AskEnd::PortLost;
  } else {
    answer.end = input.empty() ? AskEnd::Silent : AskEnd::Garbled;
  }
  if (!input.empty()) port.Trace(TraceDirection::Reply, name, input);
  return answer;
}

bool Rest(Line::Hold& hold, ProtocolServices services, Duration length, const std::function<bool()>& cancelled) {
  return WaitUntil(hold.TheLine().Port(), services, services.clock.Now() + length, cancelled, [] { return false; }) ==
         WaitEnd::TimedOut;
}

}  // namespace dornvel
