#include "sim/reply_mangling.h"

#include <algorithm>

#include "sim/crc16.h"

namespace dornvel::sim {

Bytes FromOtherSlave(Bytes reply, std::uint8_t slaveId) {
  if (reply.size() < 3) return reply;
  reply[0] = slaveId;
  std::uint16_t crc = Crc16Modbus(std::span(reply).first(reply.size() - 2));
  reply[reply.size() - 2] = static_cast<std::uint8_t>(crc & 0xFF);
  reply[reply.size() - 1] = static_cast<std::uint8_t>(crc >> 8);
  return reply;
}

Bytes WithBadCrc(Bytes reply) {
  if (!reply.empty()) reply.back() ^= 0xFF;
  return reply;
}

Bytes Truncated(Bytes reply, std::size_t keep) {
  if (reply.size() < 2) return reply;
  if (keep == 0) keep = std::max<std::size_t>(1, reply.size() / 2);
  reply.resize(std::min(keep, reply.size() - 1));
  return reply;
}

std::pair<Bytes, Bytes> SplitInTwo(const Bytes& reply, std::size_t first) {
  if (reply.size() < 2) return {reply, {}};
  if (first == 0) first = reply.size() / 2;
  first = std::clamp<std::size_t>(first, 1, reply.size() - 1);
  auto cut = reply.begin() + static_cast<std::ptrdiff_t>(first);
  return {Bytes(reply.begin(), cut), Bytes(cut, reply.end())};
}

}  // namespace dornvel::sim
