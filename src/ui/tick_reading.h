#pragma once

#include <QString>

#include "readings/reading.h"

namespace dornvel {

class MBCollection;

// What the tick that has just ended read from the meter: each value only where
// its tag's exchanges of that tick were answered (MBData::ValueCurrent), so
// that a failed read leaves a gap, never an older value; and the status bar's
// error count and message as shown.
Reading TickReading(const MBCollection& tags, WallTime time, const QString& errorCount, const QString& message);

}  // namespace dornvel
