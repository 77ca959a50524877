#include "platform/traffic_trace.h"

#include <chrono>
#include <cstdio>

namespace dornvel {

namespace {

const TimePoint kProgramStart = std::chrono::steady_clock::now();

}  // namespace

std::string TraceLine(Duration sinceStart, TraceDirection direction, std::string_view tagName, const Bytes& bytes) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%lld.%03lld", static_cast<long long>(ms / 1000),
                static_cast<long long>(ms % 1000));
  std::string line = stamp;
  line += ' ';
  line += tagName;
  line += direction == TraceDirection::Request ? " ->" : " <-";
  char hex[4];
  for (auto byte : bytes) {
    std::snprintf(hex, sizeof hex, " %02X", byte);
    line += hex;
  }
  return line;
}

Duration SinceProgramStart() { return std::chrono::steady_clock::now() - kProgramStart; }

}  // namespace dornvel
