#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace dornvel::testing {

// One line of the simulator's traffic log: "RX" request, "TX" reply, "EV" event.
struct LogLine {
  double seconds = 0;
  std::string kind;
  std::string text;  // the bytes in hex, or the event's text
};
std::vector<LogLine> TrafficLog(const std::string& log);
// The requests of a traffic log, in hex.
std::vector<std::string> Requests(const std::vector<LogLine>& log);

// The requests of the program's own trace ("1.082 nolu -> 01 04 ..."), in hex.
std::vector<std::string> TracedRequests(const std::string& trace);

// The faults the simulator applied, request by request, as its traffic log names
// them ("silence", "bad-crc", ...). A request without faults has no entry.
using FaultsByRequest = std::map<std::uint64_t, std::set<std::string>>;
FaultsByRequest ReadFaults(const std::string& trafficLog);
// How often each kind was applied ("bad-crc" -> 3), to hold against the
// simulator's own counters.
std::map<std::string, long> CountByKind(const FaultsByRequest& faults);

// The lines of `text`, without their line feeds.
std::vector<std::string> Lines(const std::string& text);
// How many lines of `text` contain `phrase`.
int LinesWith(const std::string& text, const std::string& phrase);

}  // namespace dornvel::testing
