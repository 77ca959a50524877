#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace dornvel::sim {

// The kinds of misbehaviour the simulator can inject, in the order in which
// they take precedence: the first three replace the reply altogether, the
// exception replaces its content, the next three mangle its bytes and the last
// two change how it is delivered.
enum class FaultKind : std::size_t {
  Hangup,
  Silence,
  Babble,
  Exception,
  Foreign,
  BadCrc,
  ShortReply,
  Delay,
  Split,
};
inline constexpr std::size_t kFaultKindCount = 9;

// The name used in options, logs and the summary ("bad-crc", "short", ...).
std::string_view FaultName(FaultKind kind);
std::optional<FaultKind> FaultFromName(std::string_view name);

// When a fault fires, decided per answerable request (numbered from 1).
struct Trigger {
  enum class Mode { Never, Probability, Period, At };
  Mode mode = Mode::Never;
  double probability = 0.0;
  std::uint64_t period = 0;
  std::vector<std::uint64_t> at;
};

// "0.25" or "25%" (a probability), "every:N" (requests N, 2N, 3N, ...),
// "at:N[,M...]" (exactly those requests). Empty optional when malformed.
std::optional<Trigger> ParseTrigger(std::string_view text);

using FaultSet = std::array<bool, kFaultKindCount>;

inline bool Has(const FaultSet& set, FaultKind kind) { return set[static_cast<std::size_t>(kind)]; }

// Keeps only the faults that can take effect together: one of hang-up,
// silence or babbling suppresses every other fault of the request; the rest
// combine.
FaultSet EffectiveFaults(const FaultSet& fired);

// Decides which faults fire for each request and counts those injected.
// Probabilities draw from one generator seeded once, one draw per
// probability-driven kind and request in the fixed kind order, so the same
// seed and the same traffic give the same faults.
class FaultPlan {
 public:
  FaultPlan(std::array<Trigger, kFaultKindCount> triggers, std::uint64_t seed);

  FaultSet Decide(std::uint64_t requestNumber);
  void Count(FaultKind kind) { ++counts_[static_cast<std::size_t>(kind)]; }
  std::uint64_t Injected(FaultKind kind) const { return counts_[static_cast<std::size_t>(kind)]; }
  std::uint64_t InjectedTotal() const;

  // "silence=0 delay=2 bad-crc=1 ..." in the kind order of fault_kind_count.
  std::string Summary() const;

 private:
  std::array<Trigger, kFaultKindCount> triggers_;
  std::array<std::uint64_t, kFaultKindCount> counts_{};
  std::mt19937_64 random_;
};

}  // namespace dornvel::sim
