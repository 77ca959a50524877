#include "sim/reply_mangling.h"

#include <algorithm>

#include "sim/crc16.h"

namespace dornvel::sim {

Bytes from_other_slave(Bytes reply, std::uint8_t slave_id) {
  if (reply.size() < 3) return reply;
  reply[0] = slave_id;
  std::uint16_t crc = crc16_modbus(std::span(reply).first(reply.size() - 2));
  reply[reply.size() - 2] = static_cast<std::uint8_t>(crc & 0xFF);
  reply[reply.size() - 1] = static_cast<std::uint8_t>(crc >> 8);
  return reply;
}

Bytes with_bad_crc(Bytes reply) {
  if (!reply.empty()) reply.back() ^= 0xFF;
  return reply;
}

Bytes truncated(Bytes reply, std::size_t keep) {
  if (reply.size() < 2) return reply;
  if (keep == 0) keep = std::max<std::size_t>(1, reply.size() / 2);
  reply.resize(std::min(keep, reply.size() - 1));
  return reply;
}

std::pair<Bytes, Bytes> split_in_two(const Bytes& reply, std::size_t first) {
  if (reply.size() < 2) return {reply, {}};
  if (first == 0) first = reply.size() / 2;
  first = std::clamp<std::size_t>(first, 1, reply.size() - 1);
  auto cut = reply.begin() + static_cast<std::ptrdiff_t>(first);
  return {Bytes(reply.begin(), cut), Bytes(cut, reply.end())};
}

}  // namespace dornvel::sim
