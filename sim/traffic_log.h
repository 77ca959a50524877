#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "sim/meter.h"

namespace dornvel::sim {

// Every request and reply as hex, with the time in seconds on the monotonic
// clock since the simulator started:
//      0.412345 RX 01 04 00 00 00 02 71 CB
//      0.432101 TX 01 04 04 00 00 41 48 CB E2  | request #1
//      1.433002 EV request #2: no reply (fault silence)
// RX is what the line brought, TX what the simulator sent, EV an event.
// Lines are flushed as written, so a reader sees them at once.
class TrafficLog {
 public:
  TrafficLog() = default;  // logs nothing
  TrafficLog(std::FILE* stream, bool owned, Clock::time_point start);
  ~TrafficLog();
  TrafficLog(const TrafficLog&) = delete;
  TrafficLog& operator=(const TrafficLog&) = delete;

  void Received(std::span<const std::uint8_t> bytes);
  void Sent(std::span<const std::uint8_t> bytes, std::string_view note = {});
  void Event(std::string_view text);

  bool WritesTo(std::FILE* stream) const { return stream_ == stream; }

 private:
  void Line(std::string_view direction, std::string_view body);

  std::FILE* stream_ = nullptr;
  bool owned_ = false;
  Clock::time_point start_;
};

std::string ToHex(std::span<const std::uint8_t> bytes);

}  // namespace dornvel::sim
