#include "protocol/lone_meter_check.h"

#include <algorithm>

#include "protocol/line_request.h"
#include "protocol/meter_census.h"
#include "protocol/probe_timing.h"

namespace dornvel {

OtherMeters OtherMetersAt(Line::Hold& hold, ProtocolServices services, int rate, int exceptId,
                          const std::function<bool()>& cancelled) {
  OtherMeters others;
  // The meter may have just answered: a meter at the next id hears the first
  // probe only once the line has been quiet for a frame gap.
  if (!hold.OpenAt(rate) || !Rest(hold, services, probe_timing::FrameGap(rate), cancelled)) {
    others.end = cancelled && cancelled() ? OtherMeters::End::Cancelled : OtherMeters::End::PortLost;
    return others;
  }
  CensusPlan plan;
  plan.rates = {rate};
  plan.readValues = false;
  CensusHooks hooks;
  hooks.cancelled = cancelled;
  const Census census = TakeCensus(hold, services, plan, hooks);
  // A duplicate of the meter's own id, or an id that answered only garbled,
  // is another device on the line as well.
  for (const CensusEntry& entry : census.meters) {
    if (entry.meter.slave != exceptId || entry.state == CensusState::SuspectedDuplicate) {
      others.ids.push_back(entry.meter.slave);
    }
  }
  for (const MeterAddress& garbled : census.garbled) others.ids.push_back(garbled.slave);
  switch (census.outcome) {
    case CensusOutcome::Done: others.end = OtherMeters::End::Done; break;
    case CensusOutcome::Cancelled: others.end = OtherMeters::End::Cancelled; break;
    case CensusOutcome::PortUnavailable:
    case CensusOutcome::PortBusy: others.end = OtherMeters::End::PortLost; break;
  }
  return others;
}

}  // namespace dornvel
