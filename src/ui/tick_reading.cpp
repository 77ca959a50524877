#include "ui/tick_reading.h"

#include "tags/mb_collection.h"
#include "ui/tick_outcome.h"

namespace dornvel {

namespace {

// The tag's number when it is current; none when the tag is missing too.
std::optional<double> CurrentNumber(const MBCollection& tags, const char* key) {
  try {
    const MBData& tag = tags.Item(std::string(key));
    if (!tag.ValueCurrent()) return std::nullopt;
    return tag.Data().Number();
  } catch (const NoSuchTag&) {
    return std::nullopt;
  }
}

std::optional<int> CurrentWhole(const MBCollection& tags, const char* key) {
  const auto number = CurrentNumber(tags, key);
  if (!number) return std::nullopt;
  return static_cast<int>(*number);
}

}  // namespace

Reading TickReading(const MBCollection& tags, const TickOutcome& tick, WallTime time, const QString& errorCount) {
  Reading reading;
  reading.time = time;
  // The meter's float, read into a double: back to the float it was.
  if (const auto resistance = CurrentNumber(tags, "nolu"); resistance && tick.refreshed[0]) {
    reading.resistanceKohm = static_cast<float>(*resistance);
  }
  if (tick.refreshed[1]) reading.switchValue = CurrentWhole(tags, "switch");
  if (tick.deviceAnswered) {
    reading.deviceSlaveId = CurrentWhole(tags, "slaveid");
    reading.deviceBaudRate = CurrentWhole(tags, "boudrate");
  }
  reading.errorCount = errorCount.toStdString();
  reading.message = tick.messages.join(QStringLiteral("; ")).toStdString();
  return reading;
}

}  // namespace dornvel
