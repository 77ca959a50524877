#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "protocol/host_window.h"
#include "protocol/meter_model.h"
#include "protocol/protocol_services.h"
#include "readings/reading.h"
#include "tags/mb_collection.h"

namespace dornvel {

class Line;

// The meter's four values as tags, in the order a poll reads them.
struct SessionTag {
  const char* key;
  meter::Register reg;
};
inline constexpr std::array<SessionTag, 4> kMeterTags{{
    {"nolu", meter::kResistance},
    {"switch", meter::kSwitch},
    {"slaveid", meter::kSlaveId},
    {"boudrate", meter::kBaudRate},
}};

// What one poll learned of the meter, beyond the tags' own state.
struct PollOutcome {
  // Which tags the poll refreshed, in the order of kMeterTags: a poll cut
  // short leaves the rest untouched.
  std::array<bool, kMeterTags.size()> refreshed{};
  // Whether the device answered at least one exchange of the poll; when it
  // answered none, nothing read earlier is confirmed either.
  bool deviceAnswered = false;
  // The messages the poll's exchanges left, in order.
  std::vector<std::string> messages;
};

// One meter on a line, polled through its four tags: its own count of errors,
// the messages of its polls, and what each poll learned. Its tags report to
// it, and it passes each report on to the window that shows it (if any)
// exactly as the tags would have made it there.
class MeterSession final : public HostWindow {
 public:
  MeterSession(ProtocolServices services, Line& line, std::uint8_t slave, HostWindow* shownOn);
  MeterSession(const MeterSession&) = delete;
  MeterSession& operator=(const MeterSession&) = delete;

  MBCollection& Tags() { return tags_; }
  const MBCollection& Tags() const { return tags_; }
  // The slave id its tags address and the rate the line is set to.
  MeterAddress Address() const;
  std::uint64_t ErrorCount() const { return errorCount_; }

  // Refreshes the tags in order; after each, `refreshed(i)` (its display). A
  // step that raises (a value the tag cannot encode) is skipped. Before each
  // tag `stop()` may end the poll early.
  const PollOutcome& Poll(const std::function<bool()>& stop, const std::function<void(std::size_t)>& refreshed);
  bool Polling() const { return polling_; }
  const PollOutcome& LastPoll() const { return lastPoll_; }
  // What the last poll learned: a value only where that poll refreshed its tag
  // and its exchanges were answered, so that a failed read leaves a gap, never
  // an older value; the device's slave id and rate, read once, only when the
  // device answered the poll at all.
  Reading LastReading(WallTime time) const;

  // What the tags reach of their host.
  bool CommBusy() const override;
  std::string ErrorCountText() const override;
  void SetErrorCountText(const std::string& text) override;
  void SetMessageText(const std::string& text) override;

 private:
  std::uint64_t AnsweredExchanges() const;

  Line& line_;
  HostWindow* shownOn_;
  MBCollection tags_;
  std::uint64_t errorCount_ = 0;
  bool polling_ = false;
  PollOutcome poll_;
  PollOutcome lastPoll_;
};

}  // namespace dornvel
