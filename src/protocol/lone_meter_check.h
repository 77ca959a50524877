#pragma once

#include <functional>
#include <vector>

#include "protocol/line.h"
#include "protocol/protocol_services.h"

namespace dornvel {

struct OtherMeters {
  enum class End { Done, Cancelled, PortLost };
  End end = End::Done;
  // The slave ids that answered, besides `exceptId`, in the order heard.
  std::vector<int> ids;
};

// Whether a device other than the meter at `exceptId` answers at `rate`: the
// census of that rate, reads only (see TakeCensus), after a frame gap. A
// second meter at `exceptId` itself shows as a suspected duplicate. About 13 s
// on a line with one meter.
OtherMeters OtherMetersAt(Line::Hold& hold, ProtocolServices services, int rate, int exceptId,
                          const std::function<bool()>& cancelled);

}  // namespace dornvel
