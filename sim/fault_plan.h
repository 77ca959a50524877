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
  hangup,
  silence,
  babble,
  exception,
  foreign,
  bad_crc,
  short_reply,
  delay,
  split,
};
inline constexpr std::size_t fault_kind_count = 9;

// The name used in options, logs and the summary ("bad-crc", "short", ...).
std::string_view fault_name(FaultKind kind);
std::optional<FaultKind> fault_from_name(std::string_view name);

// When a fault fires, decided per answerable request (numbered from 1).
struct Trigger {
  enum class Mode { never, probability, period, at };
  Mode mode = Mode::never;
  double probability = 0.0;
  std::uint64_t period = 0;
  std::vector<std::uint64_t> at;
};

// "0.25" or "25%" (a probability), "every:N" (requests N, 2N, 3N, ...),
// "at:N[,M...]" (exactly those requests). Empty optional when malformed.
std::optional<Trigger> parse_trigger(std::string_view text);

using FaultSet = std::array<bool, fault_kind_count>;

inline bool has(const FaultSet& set, FaultKind kind) { return set[static_cast<std::size_t>(kind)]; }

// Keeps only the faults that can take effect together: one of hang-up,
// silence or babbling suppresses every other fault of the request; the rest
// combine.
FaultSet effective_faults(const FaultSet& fired);

// Decides which faults fire for each request and counts those injected.
// Probabilities draw from one generator seeded once, one draw per
// probability-driven kind and request in the fixed kind order, so the same
// seed and the same traffic give the same faults.
class FaultPlan {
 public:
  FaultPlan(std::array<Trigger, fault_kind_count> triggers, std::uint64_t seed);

  FaultSet decide(std::uint64_t request_number);
  void count(FaultKind kind) { ++counts_[static_cast<std::size_t>(kind)]; }
  std::uint64_t injected(FaultKind kind) const { return counts_[static_cast<std::size_t>(kind)]; }
  std::uint64_t injected_total() const;

  // "silence=0 delay=2 bad-crc=1 ..." in the kind order of fault_kind_count.
  std::string summary() const;

 private:
  std::array<Trigger, fault_kind_count> triggers_;
  std::array<std::uint64_t, fault_kind_count> counts_{};
  std::mt19937_64 random_;
};

}  // namespace dornvel::sim
