#pragma once

#include <cstdint>
#include <optional>

#include "protocol/bytes.h"
#include "protocol/tag_definition.h"
#include "protocol/value.h"

namespace dornvel {

class EventPump;

enum class ReplyOutcome {
  TooShort,      // fewer bytes than a check or the value needs: nothing is known
  BadCrc,        // LastError 10
  ForeignSlave,  // LastError 9; `code` holds the address that answered
  Exception,     // LastError = `code`, the device's exception code
  Good,          // LastError 0; `value` holds the decoded value, if the reply carries one
};

struct ParsedReply {
  ReplyOutcome outcome = ReplyOutcome::TooShort;
  std::uint8_t code = 0;
  std::optional<Value> value;
};

// Checks a reply in this order: CRC, slave address, exception bit; then decodes it
// by its function code and the tag's value type. Never reads the CRC bytes as data.
ParsedReply ParseReply(const Bytes& reply, const TagDefinition& tag, EventPump& pump);

}  // namespace dornvel
