#include "fault_tally.h"

#include <regex>

namespace dornvel::reliability {

namespace {

// Each of these spoils the one exchange it hits, however many of them combine
// there: the request gets no reply in time (silence), or noise (babble), or a
// reply that the checks refuse (a cut reply fails the CRC: the device's
// shortest reply keeps at least two bytes). A hang-up closes the port under
// the exchange, which ends it without a count, and a delay or a split within
// the limits above still delivers the whole reply.
const std::set<std::string> kSpoilingKinds = {"silence", "babble", "exception", "foreign", "bad-crc", "short"};

}  // namespace

FaultsByRequest ReadFaults(const std::string& trafficLog) {
  // "request #8: fault silence, no reply", "request #9; fault foreign + bad-crc",
  // "request #9; fault delay: replying in 0.5 s", "request #9; fault split (part 1 of 2)"
  static const std::regex mention(R"(request #(\d+)[:;] fault ([a-z-]+(?: \+ [a-z-]+)*))");
  static const std::regex kind("[a-z-]+");
  FaultsByRequest faults;
  for (auto it = std::sregex_iterator(trafficLog.begin(), trafficLog.end(), mention); it != std::sregex_iterator();
       ++it) {
    auto& kinds = faults[std::stoull((*it)[1])];
    const std::string list = (*it)[2];
    for (auto k = std::sregex_iterator(list.begin(), list.end(), kind); k != std::sregex_iterator(); ++k)
      kinds.insert(k->str());
  }
  return faults;
}

std::map<std::string, long> CountByKind(const FaultsByRequest& faults) {
  std::map<std::string, long> counts;
  for (const auto& [request, kinds] : faults)
    for (const std::string& kind : kinds) ++counts[kind];
  return counts;
}

long ErrorsTheWindowMustCount(const FaultsByRequest& faults) {
  long errors = 0;
  for (const auto& [request, kinds] : faults) {
    for (const std::string& kind : kinds) {
      if (kSpoilingKinds.contains(kind)) {
        ++errors;
        break;
      }
    }
  }
  return errors;
}

}  // namespace dornvel::reliability
