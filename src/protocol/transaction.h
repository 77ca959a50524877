#pragma once

#include <optional>
#include <string_view>

#include "protocol/bytes.h"
#include "protocol/protocol_services.h"

namespace dornvel {

class HostWindow;
class Line;

// Waits up to `limitSeconds` while the window's port-busy flag is set, letting
// events run; says "Busy!" when it is still set. The caller goes on either way.
void WaitCommFree(HostWindow* window, ProtocolServices services, std::string_view tagName, int limitSeconds);

// As long as a tag waits for the window's busy flag, and for an exchange on
// the line to end, before it goes on: a nested tick must never hang the window.
inline constexpr int kCommFreeLimitSeconds = 30;

// One exchange on the line: opens the port if needed, drops stale input, sends the
// request and collects the reply until 0.1 s of silence. An adapter's echo of
// the request is left out of the reply. Returns the reply, or none when the port
// is closed or busy or nothing came back (each reported to `window`, which may be
// null). Exchanges on one line never overlap.
std::optional<Bytes> Exchange(Line& line, HostWindow* window, ProtocolServices services, const Bytes& request,
                              std::string_view tagName);

}  // namespace dornvel
