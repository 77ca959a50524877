#include "harness/traffic_log.h"

#include <regex>
#include <sstream>

namespace dornvel::testing {

std::vector<LogLine> TrafficLog(const std::string& log) {
  // "    1.545479 TX 01 04 04 00 00 41 48 CB E2  | request #1"
  static const std::regex kLine(R"(^\s*([0-9.]+) (RX|TX|EV) (.*?)(\s+\|.*)?$)");
  std::vector<LogLine> lines;
  std::istringstream in(log);
  for (std::string text; std::getline(in, text);) {
    std::smatch match;
    if (std::regex_match(text, match, kLine)) lines.push_back({std::stod(match[1]), match[2], match[3]});
  }
  return lines;
}

std::vector<std::string> Requests(const std::vector<LogLine>& log) {
  std::vector<std::string> requests;
  for (const LogLine& line : log) {
    if (line.kind == "RX") requests.push_back(line.text);
  }
  return requests;
}

std::vector<std::string> TracedRequests(const std::string& trace) {
  static const std::regex kRequest(R"(^[0-9]+\.[0-9]{3} \S+ -> (.*)$)");
  std::vector<std::string> requests;
  std::istringstream in(trace);
  for (std::string text; std::getline(in, text);) {
    std::smatch match;
    if (std::regex_match(text, match, kRequest)) requests.push_back(match[1]);
  }
  return requests;
}

FaultsByRequest ReadFaults(const std::string& trafficLog) {
  // "request #8: fault silence, no reply", "request #9; fault foreign + bad-crc",
  // "request #9; fault delay: replying in 0.5 s", "request #9; fault split (part 1 of 2)"
  static const std::regex kMention(R"(request #(\d+)[:;] fault ([a-z-]+(?: \+ [a-z-]+)*))");
  static const std::regex kInd("[a-z-]+");
  FaultsByRequest faults;
  for (auto it = std::sregex_iterator(trafficLog.begin(), trafficLog.end(), kMention); it != std::sregex_iterator();
       ++it) {
    auto& kinds = faults[std::stoull((*it)[1])];
    const std::string list = (*it)[2];
    for (auto k = std::sregex_iterator(list.begin(), list.end(), kInd); k != std::sregex_iterator(); ++k) {
      kinds.insert(k->str());
    }
  }
  return faults;
}

std::map<std::string, long> CountByKind(const FaultsByRequest& faults) {
  std::map<std::string, long> counts;
  for (const auto& [request, kinds] : faults) {
    for (const std::string& kind : kinds) ++counts[kind];
  }
  return counts;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

int LinesWith(const std::string& text, const std::string& phrase) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.find(phrase) != std::string::npos;
  return count;
}

}  // namespace dornvel::testing
