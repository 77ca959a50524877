#include "protocol/reply_framing.h"

#include <algorithm>

#include "protocol/function_codes.h"

namespace dornvel {

namespace {

using namespace function_code;
using namespace reply_size;

bool StartsWith(const Bytes& input, const Bytes& prefix, std::size_t length) {
  return input.size() >= length && prefix.size() >= length &&
         std::equal(prefix.begin(), prefix.begin() + static_cast<std::ptrdiff_t>(length), input.begin());
}

}  // namespace

std::optional<std::size_t> ExpectedReplyLength(const Bytes& start) {
  if (start.size() < 2) return std::nullopt;
  const std::uint8_t function = start[1];
  if (function & kExceptionBit) return kExceptionReplySize;
  switch (function) {
    case kReadCoils:
    case kReadDiscreteInputs:
    case kReadHoldingRegisters:
    case kReadInputRegisters:
      if (start.size() < 3) return std::nullopt;
      return kFrameOverhead + 1 + start[2];
    case kWriteSingleCoil:
    case kWriteSingleRegister:
    case kWriteMultipleRegisters: return kWriteEchoSize;
    default: return std::nullopt;
  }
}

std::size_t EchoLength(const Bytes& input, const Bytes& request) {
  if (request.empty() || input.size() <= request.size()) return 0;
  return StartsWith(input, request, request.size()) ? request.size() : 0;
}

bool OnlyEchoSoFar(const Bytes& input, const Bytes& request) {
  const bool repeatedByReply =
      request.size() > 1 && (request[1] == kWriteSingleCoil || request[1] == kWriteSingleRegister);
  if (repeatedByReply && input.size() == request.size()) return false;
  return !input.empty() && input.size() <= request.size() && StartsWith(input, request, input.size());
}

}  // namespace dornvel
