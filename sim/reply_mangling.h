#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace dornvel::sim {

// Byte surgery on a well-formed RTU reply (address, PDU, CRC low byte first).
// No I/O here: the simulator applies these to the bytes libmodbus produced.
using Bytes = std::vector<std::uint8_t>;

// The same reply as if it came from slave `slave_id`, with a CRC that is valid
// for the new address.
Bytes FromOtherSlave(Bytes reply, std::uint8_t slaveId);

// The CRC's high byte (the last byte on the line) inverted, so the CRC is
// certainly wrong.
Bytes WithBadCrc(Bytes reply);

// The first `keep` bytes; by default (keep 0) the first half, at least one
// byte. A `keep` at or beyond the length still drops the last byte, so the
// result is always shorter than the reply.
Bytes Truncated(Bytes reply, std::size_t keep);

// The two parts of a reply sent with a gap between them: `first` bytes, by
// default (0) half of the reply, each part at least one byte long.
std::pair<Bytes, Bytes> SplitInTwo(const Bytes& reply, std::size_t first);

}  // namespace dornvel::sim
