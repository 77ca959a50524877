#include "protocol/reply_parser.h"

#include <string>

#include "protocol/byte_image.h"
#include "protocol/cp1251.h"
#include "protocol/crc.h"
#include "protocol/function_codes.h"
#include "protocol/mb_data.h"
#include "protocol/reply_match.h"

namespace dornvel {

namespace {

// The reply's bytes before the CRC, addressed 1-based as in the Modbus tables:
// At(1) the slave address, At(2) the function code, At(3) the byte count or
// exception code, At(4) onwards the data.
class ReplyBody {
 public:
  explicit ReplyBody(const Bytes& reply) : reply_(reply), size_(reply.size() - 2) {}
  bool Has(std::size_t position) const { return position >= 1 && position <= size_; }
  std::uint8_t At(std::size_t position) const { return reply_[position - 1]; }

 private:
  const Bytes& reply_;
  std::size_t size_;
};

ParsedReply Good(std::optional<Value> value) { return {ReplyOutcome::Good, 0, std::move(value)}; }

ParsedReply DecodeRegisters(const ReplyBody& body, const TagDefinition& tag) {
  switch (tag.dataType) {
    case FloatType: {
      if (!body.Has(7)) return {};
      const std::uint8_t image[4] = {body.At(5), body.At(4), body.At(7), body.At(6)};
      return Good(Value(BytesToSingle(image)));
    }
    case IntegerType: {
      if (!body.Has(5)) return {};
      const std::uint8_t image[2] = {body.At(5), body.At(4)};
      return Good(Value(BytesToInteger(image)));
    }
    case TextType: {
      if (!body.Has(3)) return {};
      std::size_t count = body.At(3);
      if (count > 0 && !body.Has(3 + count)) return {};
      std::string text;
      for (std::size_t i = 0; i < count && static_cast<int>(i) < tag.dataLen; ++i) {
        text += static_cast<char>(body.At(4 + i));
      }
      return Good(Value(Cp1251ToUtf8(text)));
    }
    default: return Good(std::nullopt);  // a register whose value is not kept
  }
}

}  // namespace

ParsedReply ParseReply(const Bytes& reply, const Bytes& request, const std::optional<Bytes>& unansweredBefore,
                       const TagDefinition& tag, EventPump& pump) {
  using namespace function_code;
  if (reply.size() < 2) return {};

  Crc crc;
  CrcInit(crc);
  for (std::size_t i = 0; i + 2 < reply.size(); ++i) CrcUpdate(crc, reply[i], pump);
  if (reply[reply.size() - 1] != crc.CrcHi || reply[reply.size() - 2] != crc.CrcLo) {
    return {ReplyOutcome::BadCrc, 0, std::nullopt};
  }

  ReplyBody body(reply);
  if (!body.Has(1)) return {};
  if (body.At(1) != tag.slave) return {ReplyOutcome::ForeignSlave, body.At(1), std::nullopt};

  if (!AnswersRequest(reply, request)) return {};
  // After a request went unanswered the line may be a reply behind: a reply that
  // fits that request as well may be its late answer.
  if (unansweredBefore && AnswersRequest(reply, *unansweredBefore)) return {};

  std::uint8_t function = body.At(2);
  if (function & kExceptionBit) return {ReplyOutcome::Exception, body.At(3), std::nullopt};

  switch (function) {
    case kReadCoils:
    case kReadDiscreteInputs:
      if (!body.Has(4)) return {};
      return Good(Value(body.At(4) == 1));
    case kReadHoldingRegisters:
    case kReadInputRegisters: return DecodeRegisters(body, tag);
    default: return Good(std::nullopt);  // the echo of a write, or anything else: nothing to decode
  }
}

}  // namespace dornvel
