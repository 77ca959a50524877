#pragma once

#include "protocol/bytes.h"

namespace dornvel {

// Whether `reply` (CRC included) has the shape of an answer to `request`: the
// request's function code with the length the request implies, or its
// exception. A read reply carries no register address, so two reads of the same
// function and quantity cannot be told apart by their replies.
bool AnswersRequest(const Bytes& reply, const Bytes& request);

}  // namespace dornvel
