#pragma once

#include <optional>

#include "protocol/meter_search.h"
#include "protocol/protocol_services.h"

class QWidget;

namespace dornvel {

class Dialogs;
class SerialControl;
class YesNoQuestion;

// Runs the meter search (see SearchForMeter for what the caller must do first:
// stop polling, start it between ticks) under a progress dialog over `parent`
// that shows the rate and slave id being tried; its Cancel button and Escape
// stop the search at once. `shown` is the computer-side slave id and rate the
// window shows; the search starts there.
//
// Found: asks "Meter found: slave id N at R baud. Use these settings?" and
// returns the address on Yes, for the caller to apply as if the user had
// entered it (rate first, then slave id). Nothing found: says what was tried.
// A port that cannot be used is reported too, with the reason the serial control
// gives; a cancelled search says nothing.
// Returns none in all these cases. The port is left as it was in every case.
std::optional<MeterAddress> FindMeter(QWidget* parent, SerialControl& port, ProtocolServices services,
                                      MeterAddress shown, Dialogs& dialogs, YesNoQuestion& question);

}  // namespace dornvel
