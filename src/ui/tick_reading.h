#pragma once

#include <QString>

#include "readings/reading.h"

namespace dornvel {

class MBCollection;
struct TickOutcome;

// What the tick that has just ended learned of the meter. A value only where
// the tick refreshed its tag and its exchanges were answered
// (MBData::ValueCurrent), so that a failed read leaves a gap, never an older
// value; the device's slave id and rate, read once, only when the device
// answered the tick at all. The error count as shown, and the messages of the
// tick's own exchanges (none when all were answered).
Reading TickReading(const MBCollection& tags, const TickOutcome& tick, WallTime time, const QString& errorCount);

}  // namespace dornvel
