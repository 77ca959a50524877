#pragma once

#include "protocol/bytes.h"
#include "protocol/tag_definition.h"
#include "protocol/value.h"

namespace dornvel {

class EventPump;

// Modbus RTU requests: slave, function, address, the request's data, CRC low byte
// first. The builders raise RuntimeError (overflow, type mismatch, invalid call)
// when a definition or value cannot be put into a frame; nothing is sent then.
Bytes BuildReadRequest(const TagDefinition& tag, EventPump& pump);
Bytes BuildWriteRequest(const TagDefinition& tag, const Value& value, EventPump& pump);

}  // namespace dornvel
