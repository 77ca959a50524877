#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace dornvel::reliability {

// The faults dornvel-sim applied, request by request, as its traffic log names
// them ("silence", "bad-crc", ...). A request without faults has no entry.
using FaultsByRequest = std::map<std::uint64_t, std::set<std::string>>;

FaultsByRequest ReadFaults(const std::string& trafficLog);

// How often each kind was applied ("bad-crc" -> 3), to hold against the
// simulator's own counters.
std::map<std::string, long> CountByKind(const FaultsByRequest& faults);

// The errors the window must count for these faults, with a delay under the
// 2 s first-byte wait and split parts closer than the 0.1 s end-of-reply
// silence: one for each request whose reply is lost or refused, none for a
// reply that is only late or comes in pieces, and none for a hang-up.
long ErrorsTheWindowMustCount(const FaultsByRequest& faults);

}  // namespace dornvel::reliability
