#pragma once

#include <functional>
#include <string_view>

#include "protocol/bytes.h"
#include "protocol/clock.h"
#include "protocol/line.h"
#include "protocol/protocol_services.h"

namespace dornvel {

// How long a tool waits for a reply: for its first byte after the request has
// been handed to the port, then for the rest after that first byte.
struct AskTiming {
  Duration firstByte;
  Duration restOfReply;
};

enum class AskEnd {
  Whole,      // a frame of the length its first bytes announce
  Silent,     // nothing came back
  Garbled,    // bytes, but no frame of the length they announce
  Cancelled,  // the caller's cancel, during a wait
  PortLost,   // the port closed (device gone)
};

struct Answer {
  AskEnd end = AskEnd::Silent;
  // What came back, the adapter's echo left out; for Whole, exactly the frame.
  Bytes reply;
  // What was waiting before the request went out: a late reply to an earlier one.
  Bytes stale;
};

// A tool's request on the line it holds, port open: the reply is complete as
// soon as the length its function and byte count announce is in, not after a
// silence. An echo of the request by the adapter is recognised and left out.
// Window events run during the waits; `cancelled`, asked after each wait,
// ends it early. Request and reply go to the port's traffic log as `name`.
Answer Ask(Line::Hold& hold, ProtocolServices services, const Bytes& request, const AskTiming& timing,
           const std::function<bool()>& cancelled = {}, std::string_view name = "ask");

// Lets the line rest this long, window events running; false when cancelled or
// the port closed meanwhile. What arrives stays in the port's input.
bool Rest(Line::Hold& hold, ProtocolServices services, Duration length, const std::function<bool()>& cancelled = {});

}  // namespace dornvel
