#pragma once

#include <functional>
#include <iterator>
#include <optional>
#include <vector>

#include "protocol/line.h"
#include "protocol/meter_model.h"
#include "protocol/protocol_services.h"

namespace dornvel {

// Every slave id at both rates.
inline constexpr int kSearchProbes = static_cast<int>(std::size(meter::kRates)) * meter::kSlaveIdCount;

// One probe about to be sent; `number` counts from 1 to kSearchProbes.
struct SearchProgress {
  MeterAddress probed;
  int number = 0;
};

struct SearchHooks {
  // Told before each probe goes out; window events may run inside it.
  std::function<void(const SearchProgress&)> onProbe;
  // Asked before each probe and after every wait: true ends the search at once.
  std::function<bool()> cancelled;
};

enum class SearchOutcome {
  Found,
  NothingFound,
  Cancelled,
  // The port could not be opened, or closed under the search (device gone).
  PortUnavailable,
  // A polling exchange owns the port: nothing was done, the port is untouched.
  PortBusy,
};

struct SearchResult {
  SearchOutcome outcome = SearchOutcome::NothingFound;
  std::optional<MeterAddress> meter;  // set when Found
};

// The order in which the search tries the line: the shown rate first (9600 when
// the shown rate is neither 9600 nor 19200), then the other; at each rate the
// shown slave id first, upwards to 247, then on from 1 to the id before the
// shown one (1 first when the shown id is out of range). So a meter whose
// settings were only slightly off turns up soon.
std::vector<MeterAddress> SearchOrder(MeterAddress shown);

// Looks for the meter on the window's port: asks every slave id at both rates to
// read holding register 0 (the meter's own slave id) and stops at the first
// reply that has a good CRC, comes from the probed address, and carries function
// 3 and a byte count of 2. Nothing is ever written to the device. The sweep
// waits only as long as a prompt meter needs; a reply heard too late for its
// probe names its sender in its first byte, and that slave is probed again
// with polling's 2 s wait (a few such probes at most, so noise cannot stretch
// the search past a minute); the sweep at each rate ends by listening 1.1 s
// for late replies to its last probes. Such extra probes are reported through
// `hooks.onProbe` with the number of the sweep's probe before them.
//
// Window events run during every wait, so the caller's dialog stays live; its
// Cancel makes `hooks.cancelled` true and no further probe is sent. The search
// uses neither the status bar nor the error count: it is not polling.
//
// Before: the caller starts the search between ticks. It holds the line while
// it runs, so polling pauses; with an exchange in progress or another tool
// holding the line it refuses at once with PortBusy (see Line::Take). Probes
// and their replies go to the port's traffic log.
//
// After, whatever the outcome: the line is free again and the port as it was
// before, the same port number, settings text and open state.
SearchResult SearchForMeter(Line& line, ProtocolServices services, MeterAddress shown, const SearchHooks& hooks);
// The same on the line the caller holds, port open or not (never PortBusy);
// the port is left open at the rate where the meter was found.
SearchResult SearchForMeter(Line::Hold& hold, ProtocolServices services, MeterAddress shown, const SearchHooks& hooks);

}  // namespace dornvel
