#pragma once

#include <cstddef>
#include <optional>

#include "protocol/bytes.h"

namespace dornvel {

namespace reply_size {
// Address, function code and the CRC around the data of every reply.
inline constexpr std::size_t kFrameOverhead = 4;
// Address, function, exception code, CRC: also the shortest answer of all.
inline constexpr std::size_t kExceptionReplySize = 5;
// A write is answered by the first six bytes of its request and a CRC.
inline constexpr std::size_t kWriteEchoSize = 8;
}  // namespace reply_size

// The length a reply will have when whole, told from its first bytes: an
// exception reply is 5 bytes; a read's reply 5 plus its byte count; a write's
// echo 8. None while too few bytes are in to tell, or for a function of
// unknown shape.
std::optional<std::size_t> ExpectedReplyLength(const Bytes& start);

// Many two-wire RS-485 adapters hear their own request: the input then begins
// with an exact copy of it, and the reply follows. The length of that copy
// when more bytes follow it, else 0.
std::size_t EchoLength(const Bytes& input, const Bytes& request);

// Whether `input` is the request's echo so far, or all of it with nothing
// after: the reply, if any, is still to come. Never for a write of one coil or
// register, whose reply repeats the request itself.
bool OnlyEchoSoFar(const Bytes& input, const Bytes& request);

}  // namespace dornvel
