#pragma once

#include <optional>
#include <string_view>

#include "protocol/bytes.h"
#include "protocol/protocol_services.h"

namespace dornvel {

class SerialControl;

// Waits up to `limitSeconds` while the window's port-busy flag is set, letting
// events run; says "Busy!" when it is still set. The caller goes on either way.
void WaitCommFree(SerialControl& port, ProtocolServices services, std::string_view tagName, int limitSeconds);

// One exchange on the line: opens the port if needed, drops stale input, sends the
// request and collects the reply until 0.1 s of silence. Returns the reply, or
// none when the port is closed or busy or nothing came back (each reported on the
// window's status bar). Exchanges on one port never overlap.
std::optional<Bytes> Exchange(SerialControl& port, ProtocolServices services, const Bytes& request,
                              std::string_view tagName);

}  // namespace dornvel
