#include "tags/meter_session.h"

#include <charconv>

#include "protocol/line.h"
#include "protocol/line_settings.h"
#include "protocol/runtime_error.h"
#include "protocol/serial_control.h"

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

MeterSession::MeterSession(ProtocolServices services, Line& line, std::uint8_t slave, HostWindow* shownOn)
    : line_(line), shownOn_(shownOn), tags_(services) {
  tags_.SetHost(this);
  for (const SessionTag& tag : kMeterTags) {
    tags_.Add(slave, tag.reg.regType, tag.reg.regAddress, tag.reg.dataType, &line_, 0, tag.key);
  }
}

MeterAddress MeterSession::Address() const {
  const int slave = tags_.Count() > 0 ? tags_.Item(1).Slave : 0;
  return {slave, ParseLineSettings(line_.Port().Settings()).value_or(LineSettings{}).baudRate};
}

const PollOutcome& MeterSession::Poll(const std::function<bool()>& stop,
                                      const std::function<void(std::size_t)>& refreshed) {
  polling_ = true;
  poll_ = PollOutcome{};
  const std::uint64_t answeredBefore = AnsweredExchanges();
  for (std::size_t i = 0; i < kMeterTags.size() && !stop(); ++i) {
    try {
      tags_.Item(std::string(kMeterTags[i].key)).Refresh();
    } catch (const NoSuchTag&) {
    } catch (const RuntimeError&) {
    }
    refreshed(i);
    poll_.refreshed[i] = true;
  }
  poll_.deviceAnswered = AnsweredExchanges() != answeredBefore;
  lastPoll_ = poll_;
  polling_ = false;
  return lastPoll_;
}

Reading MeterSession::LastReading(WallTime time) const {
  Reading reading;
  reading.time = time;
  const MeterAddress address = Address();
  reading.meter = Reading::Meter{address.slave, address.baudRate};
  // The meter's float, read into a double: back to the float it was.
  if (const auto resistance = CurrentNumber(tags_, "nolu"); resistance && lastPoll_.refreshed[0]) {
    reading.resistanceKohm = static_cast<float>(*resistance);
  }
  if (lastPoll_.refreshed[1]) reading.switchValue = CurrentWhole(tags_, "switch");
  if (lastPoll_.deviceAnswered) {
    reading.deviceSlaveId = CurrentWhole(tags_, "slaveid");
    reading.deviceBaudRate = CurrentWhole(tags_, "boudrate");
  }
  reading.errorCount = ErrorCountText();
  for (const std::string& message : lastPoll_.messages) {
    if (!reading.message.empty()) reading.message += "; ";
    reading.message += message;
  }
  return reading;
}

bool MeterSession::CommBusy() const { return shownOn_ && shownOn_->CommBusy(); }

// Empty until the first error, as the status bar's panel starts.
std::string MeterSession::ErrorCountText() const {
  return errorCount_ == 0 ? std::string() : std::to_string(errorCount_);
}

void MeterSession::SetErrorCountText(const std::string& text) {
  std::uint64_t count = 0;
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), count);
  errorCount_ = failure == std::errc() && end == text.data() + text.size() ? count : errorCount_ + 1;
  if (shownOn_) shownOn_->SetErrorCountText(text);
}

void MeterSession::SetMessageText(const std::string& text) {
  if (polling_) poll_.messages.push_back(text);
  if (shownOn_) shownOn_->SetMessageText(text);
}

std::uint64_t MeterSession::AnsweredExchanges() const {
  std::uint64_t answered = 0;
  for (const MBData& tag : tags_) answered += tag.AnsweredExchanges();
  return answered;
}

}  // namespace dornvel
