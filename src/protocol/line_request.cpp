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

// The input taken so far, the echo left out; Whole once the frame it
// announces is in.
struct Collected {
  Bytes input;
  const Bytes& request;

  Bytes Reply() const {
    return Bytes(input.begin() + static_cast<std::ptrdiff_t>(EchoLength(input, request)), input.end());
  }
  bool AwaitingReply() const { return input.empty() || OnlyEchoSoFar(input, request); }
  bool Whole() const {
    if (AwaitingReply()) return false;
    const Bytes reply = Reply();
    const auto length = ExpectedReplyLength(reply);
    return length && reply.size() >= *length;
  }
};

}  // namespace

Answer Ask(Line::Hold& hold, ProtocolServices services, const Bytes& request, const AskTiming& timing,
           const std::function<bool()>& cancelled, std::string_view name) {
  SerialControl& port = hold.TheLine().Port();
  Answer answer;
  answer.stale = port.Input();
  port.SetOutput(request);
  port.Trace(TraceDirection::Request, name, request);

  Collected collected{{}, request};
  auto take = [&] {
    const Bytes more = port.Input();
    collected.input.insert(collected.input.end(), more.begin(), more.end());
  };
  WaitEnd end = WaitUntil(port, services, services.clock.Now() + timing.firstByte, cancelled, [&] {
    take();
    return !collected.AwaitingReply();
  });
  if (end == WaitEnd::Done) {
    end = WaitUntil(port, services, services.clock.Now() + timing.restOfReply, cancelled, [&] {
      take();
      return collected.Whole();
    });
  }
  if (end == WaitEnd::TimedOut && port.OutBufferCount() > 0) port.DropOutput();
  take();

  answer.reply = collected.Reply();
  if (collected.Whole()) {
    answer.reply.resize(*ExpectedReplyLength(answer.reply));
    answer.end = AskEnd::Whole;
  } else if (end == WaitEnd::Cancelled) {
    answer.end = AskEnd::Cancelled;
  } else if (end == WaitEnd::PortLost) {
    answer.end = AskEnd::PortLost;
  } else {
    answer.end = collected.AwaitingReply() ? AskEnd::Silent : AskEnd::Garbled;
  }
  if (collected.AwaitingReply()) answer.reply.clear();
  if (!answer.reply.empty()) port.Trace(TraceDirection::Reply, name, answer.reply);
  return answer;
}

bool Rest(Line::Hold& hold, ProtocolServices services, Duration length, const std::function<bool()>& cancelled) {
  return WaitUntil(hold.TheLine().Port(), services, services.clock.Now() + length, cancelled, [] { return false; }) ==
         WaitEnd::TimedOut;
}

}  // namespace dornvel
