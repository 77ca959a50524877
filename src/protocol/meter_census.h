#pragma once

#include <functional>
#include <iterator>
#include <optional>
#include <vector>

#include "protocol/line.h"
#include "protocol/meter_model.h"
#include "protocol/protocol_services.h"

namespace dornvel {

enum class CensusState {
  Ok,
  // The meter answered the probe with an exception.
  Exception,
  // Replies from this id came garbled again and again on an otherwise clean
  // line: two meters answering at once.
  SuspectedDuplicate,
};

struct CensusEntry {
  MeterAddress meter;
  CensusState state = CensusState::Ok;
  int exceptionCode = 0;  // for Exception
  std::optional<float> resistanceKohm{};
  std::optional<int> switchValue{};
};

struct CensusPlan {
  std::vector<int> rates{std::begin(meter::kRates), std::end(meter::kRates)};
  int firstId = meter::kFirstSlaveId;
  int lastId = meter::kLastSlaveId;
  // Read the resistance and the switch of each meter found.
  bool readValues = true;
};

struct CensusHooks {
  // Told before each probe of the sweep goes out (`number` counts from 1 to
  // `total`), and before each follow-up probe with the sweep's number so far;
  // window events may run inside it.
  std::function<void(MeterAddress probed, int number, int total)> onProbe;
  // Told of each meter as soon as it is known; a suspected duplicate is known
  // only once the whole line has been heard.
  std::function<void(const CensusEntry&)> onFound;
  // Asked before each probe and after every wait: true ends the census at once.
  std::function<bool()> cancelled;
};

enum class CensusOutcome {
  Done,
  Cancelled,
  // The port could not be opened, or closed under the census (device gone).
  PortUnavailable,
  // A polling exchange runs or another tool holds the line: nothing was done.
  PortBusy,
};

struct Census {
  CensusOutcome outcome = CensusOutcome::Done;
  // In the order found; what was found before a cancel or a lost port too.
  std::vector<CensusEntry> meters{};
  // Meters at 9600 and at 19200 share this line.
  bool bothRates = false;
  // Ids that answered only garbled on a line too noisy elsewhere to call them
  // duplicates.
  std::vector<MeterAddress> garbled{};
};

// Lists every meter on the line: asks each id of the plan at each rate to read
// holding register 0, and reads the resistance and the switch (input
// registers 0-2) of each that answers. Nothing is ever written to a device.
// The sweep waits only as long as a prompt meter needs; a reply heard too late
// for its probe names its sender, which is asked again with polling's 2 s
// wait, and the sweep at each rate ends by listening 1.1 s for late replies, so
// a meter answering up to 1 s late is listed too. An id whose answers come
// garbled is asked again; three garbled answers in a row, while the other ids
// answer cleanly, mark it as a suspected duplicate.
//
// Window events run during every wait; `hooks.cancelled` stops the census
// before its next request. The census uses neither the status bar nor the
// error count: it is not polling. Requests and replies go to the port's
// traffic log as "census".
//
// Before: the caller holds the line (polling pauses meanwhile). After: the
// port is open at the last rate asked; the hold puts it back when it ends.
Census TakeCensus(Line::Hold& hold, ProtocolServices services, const CensusPlan& plan, const CensusHooks& hooks);
// The same, taking the line itself for the census's length: PortBusy at once
// when it cannot. After, the line is free and the port as it was before.
Census TakeCensus(Line& line, ProtocolServices services, const CensusPlan& plan, const CensusHooks& hooks);

}  // namespace dornvel
