#include "protocol/reply_match.h"

#include <algorithm>

#include "protocol/function_codes.h"
#include "protocol/reply_framing.h"

namespace dornvel {

namespace {

using namespace function_code;

using namespace reply_size;

// Address, function, two address bytes and two quantity bytes, then the CRC.
constexpr std::size_t kReadRequestSize = 8;

std::size_t QuantityOf(const Bytes& request) { return request[4] * 256u + request[5]; }

bool AnswersRead(const Bytes& reply, const Bytes& request, bool bits) {
  // A request without its quantity (a value type no tag uses) implies no length.
  if (request.size() != kReadRequestSize) return true;
  const std::size_t byteCount = bits ? (QuantityOf(request) + 7) / 8 : 2 * QuantityOf(request);
  return reply.size() == kFrameOverhead + 1 + byteCount && reply[2] == byteCount;
}

// The echo repeats the address and, after it, the quantity (several registers)
// or the value (one coil).
bool EchoesWrite(const Bytes& reply, const Bytes& request) {
  if (reply.size() != kWriteEchoSize || request.size() < 6) return false;
  return std::equal(request.begin() + 2, request.begin() + 6, reply.begin() + 2);
}

}  // namespace

bool AnswersRequest(const Bytes& reply, const Bytes& request) {
  if (reply.size() < kExceptionReplySize || request.size() < 2) return false;
  const std::uint8_t function = request[1];
  if (reply[1] == (function | kExceptionBit)) return reply.size() == kExceptionReplySize;
  if (reply[1] != function) return false;
  switch (function) {
    case kReadCoils:
    case kReadDiscreteInputs: return AnswersRead(reply, request, true);
    case kReadHoldingRegisters:
    case kReadInputRegisters: return AnswersRead(reply, request, false);
    case kWriteSingleCoil:
    case kWriteMultipleRegisters: return EchoesWrite(reply, request);
    default: return true;
  }
}

}  // namespace dornvel
