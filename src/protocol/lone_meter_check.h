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

// Whether a meter other than the one at `exceptId` answers at `rate`: asks
// every other slave id once to read holding register 0, as quickly as a
// prompt meter answers, then listens for late replies; a slave heard out of
// turn, or whose reply was garbled, is asked again as patiently as polling
// asks. Nothing is written. The port is opened at `rate` when it is not.
// About 20 s at 9600 baud on a line with one meter, and a little less at 19200.
OtherMeters OtherMetersAt(Line::Hold& hold, ProtocolServices services, int rate, int exceptId,
                          const std::function<bool()>& cancelled);

}  // namespace dornvel
