#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

#include "protocol/clock.h"
#include "protocol/meter_model.h"

namespace dornvel {

// How a meter's last poll on the bus ended.
enum class BusPollEnd {
  NotYet,    // not polled yet
  Answered,  // resistance and switch read
  Silent,    // no reply within the wait (or a reply too short to be one)
  Refused,   // a reply, refused or reporting an error: `lastError` says which
};

// What the bus view knows of one meter on the line.
struct BusMeterState {
  MeterAddress address;
  // The last good reading and when it came (the poll's end).
  std::optional<float> resistanceKohm;
  std::optional<int> switchValue;
  std::optional<TimePoint> readAt;
  int good = 0;
  int timeouts = 0;
  int badReplies = 0;
  BusPollEnd lastEnd = BusPollEnd::NotYet;
  // For Refused, the outcome code as the tags keep it in LastError: the
  // device's exception code, 9 a foreign slave, 10 a bad CRC, 12 not an answer.
  std::uint8_t lastError = 0;
  // Polls in a row that got no answer; from kMissesBeforeDead on the meter is
  // only retried now and then.
  int missedInARow = 0;
  // The meter refused the read of input registers 0-2 with exception 2 or 3:
  // it is asked for the resistance and the switch apart.
  bool readsApart = false;

  friend bool operator==(const BusMeterState&, const BusMeterState&) = default;
};

// Whether the row may show its reading as current: the last poll was
// answered, with a finite resistance. Otherwise the row is greyed, as the main
// window greys a box whose value the last exchange did not confirm.
inline bool ShowsCurrent(const BusMeterState& meter) {
  return meter.lastEnd == BusPollEnd::Answered && meter.resistanceKohm && std::isfinite(*meter.resistanceKohm);
}

}  // namespace dornvel
