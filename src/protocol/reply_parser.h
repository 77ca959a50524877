#pragma once

#include <cstdint>
#include <optional>

#include "protocol/bytes.h"
#include "protocol/tag_definition.h"
#include "protocol/value.h"

namespace dornvel {

class EventPump;

enum class ReplyOutcome {
  NotAnAnswer,   // LastError 12: too short to decode, or not shaped as an answer to the request
  BadCrc,        // LastError 10
  ForeignSlave,  // LastError 9; `code` holds the address that answered
  Exception,     // LastError = `code`, the device's exception code
  Good,          // LastError 0; `value` holds the decoded value, if the reply carries one
};

struct ParsedReply {
  ReplyOutcome outcome = ReplyOutcome::NotAnAnswer;
  std::uint8_t code = 0;
  std::optional<Value> value;
};

// Checks a reply in this order: CRC, slave address, that it answers `request`
// and could not as well be the late answer to `unansweredBefore` (the request
// sent before it that got no answer, if any), exception bit; then decodes it by
// its function code and the tag's value type. Never reads the CRC bytes as data.
ParsedReply ParseReply(const Bytes& reply, const Bytes& request, const std::optional<Bytes>& unansweredBefore,
                       const TagDefinition& tag, EventPump& pump);

}  // namespace dornvel
