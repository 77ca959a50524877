#include "sim/traffic_log.h"

namespace dornvel::sim {

TrafficLog::TrafficLog(std::FILE* stream, bool owned, Clock::time_point start)
    : stream_(stream), owned_(owned), start_(start) {}

TrafficLog::~TrafficLog() {
  if (stream_ && owned_) std::fclose(stream_);
}

void TrafficLog::Received(std::span<const std::uint8_t> bytes) { Line("RX", ToHex(bytes)); }

void TrafficLog::Sent(std::span<const std::uint8_t> bytes, std::string_view note) {
  std::string body = ToHex(bytes);
  if (!note.empty()) {
    body += "  | ";
    body += note;
  }
  Line("TX", body);
}

void TrafficLog::Event(std::string_view text) { Line("EV", text); }

void TrafficLog::Line(std::string_view direction, std::string_view body) {
  if (!stream_) return;
  double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
  std::fprintf(stream_, "%12.6f %.*s %.*s\n", seconds, static_cast<int>(direction.size()), direction.data(),
               static_cast<int>(body.size()), body.data());
  std::fflush(stream_);
}

std::string ToHex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (std::uint8_t byte : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

}  // namespace dornvel::sim
