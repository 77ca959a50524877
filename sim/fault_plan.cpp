#include "sim/fault_plan.h"

#include <algorithm>
#include <charconv>

namespace dornvel::sim {

namespace {

constexpr std::array<std::string_view, kFaultKindCount> kNames = {
    "hangup", "silence", "babble", "exception", "foreign", "bad-crc", "short", "delay", "split",
};

template <typename Number>
bool ParseWhole(std::string_view text, Number& out) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end;
}

}  // namespace

std::string_view FaultName(FaultKind kind) { return kNames[static_cast<std::size_t>(kind)]; }

std::optional<FaultKind> FaultFromName(std::string_view name) {
  for (std::size_t i = 0; i < kNames.size(); ++i)
    if (kNames[i] == name) return static_cast<FaultKind>(i);
  return std::nullopt;
}

std::optional<Trigger> ParseTrigger(std::string_view text) {
  Trigger trigger;
  if (text.starts_with("every:")) {
    trigger.mode = Trigger::Mode::Period;
    if (!ParseWhole(text.substr(6), trigger.period) || trigger.period == 0) return std::nullopt;
    return trigger;
  }
  if (text.starts_with("at:")) {
    trigger.mode = Trigger::Mode::At;
    std::string_view list = text.substr(3);
    while (true) {
      std::size_t comma = list.find(',');
      std::uint64_t number = 0;
      if (!ParseWhole(list.substr(0, comma), number) || number == 0) return std::nullopt;
      trigger.at.push_back(number);
      if (comma == std::string_view::npos) break;
      list.remove_prefix(comma + 1);
    }
    return trigger;
  }
  bool percent = text.ends_with('%');
  if (percent) text.remove_suffix(1);
  double value = 0.0;
  if (text.empty() || !ParseWhole(text, value)) return std::nullopt;
  if (percent) value /= 100.0;
  if (!(value >= 0.0 && value <= 1.0)) return std::nullopt;
  trigger.mode = value > 0.0 ? Trigger::Mode::Probability : Trigger::Mode::Never;
  trigger.probability = value;
  return trigger;
}

FaultSet EffectiveFaults(const FaultSet& fired) {
  for (FaultKind exclusive : {FaultKind::Hangup, FaultKind::Silence, FaultKind::Babble}) {
    if (Has(fired, exclusive)) {
      FaultSet only{};
      only[static_cast<std::size_t>(exclusive)] = true;
      return only;
    }
  }
  return fired;
}

FaultPlan::FaultPlan(std::array<Trigger, kFaultKindCount> triggers, std::uint64_t seed)
    : triggers_(std::move(triggers)), random_(seed) {}

FaultSet FaultPlan::Decide(std::uint64_t requestNumber) {
  FaultSet fired{};
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (std::size_t i = 0; i < kFaultKindCount; ++i) {
    const Trigger& trigger = triggers_[i];
    switch (trigger.mode) {
      case Trigger::Mode::Never: break;
      case Trigger::Mode::Probability: fired[i] = unit(random_) < trigger.probability; break;
      case Trigger::Mode::Period: fired[i] = requestNumber % trigger.period == 0; break;
      case Trigger::Mode::At:
        fired[i] = std::find(trigger.at.begin(), trigger.at.end(), requestNumber) != trigger.at.end();
        break;
    }
  }
  return fired;
}

std::uint64_t FaultPlan::InjectedTotal() const {
  std::uint64_t total = 0;
  for (std::uint64_t count : counts_) total += count;
  return total;
}

std::string FaultPlan::Summary() const {
  std::string text;
  for (std::size_t i = 0; i < kFaultKindCount; ++i) {
    if (!text.empty()) text += ' ';
    text += kNames[i];
    text += '=';
    text += std::to_string(counts_[i]);
  }
  return text;
}

}  // namespace dornvel::sim
