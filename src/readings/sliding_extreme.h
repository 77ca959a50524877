#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

namespace dornvel {

// The extreme (by `Better`: std::less<> for the minimum) of the values in a
// window that slides along a series: values enter at the back with their
// running number and leave from the front. Keeps only the values that can still
// become the extreme, best first, so each step costs O(1) on average.
template <class Better>
class SlidingExtreme {
 public:
  void Push(std::uint64_t number, float value) {
    while (!candidates_.empty() && !Better{}(candidates_.back().value, value)) candidates_.pop_back();
    candidates_.push_back({number, value});
  }
  // The value numbered `number` leaves the window.
  void Drop(std::uint64_t number) {
    if (!candidates_.empty() && candidates_.front().number == number) candidates_.pop_front();
  }
  std::optional<float> Value() const {
    if (candidates_.empty()) return std::nullopt;
    return candidates_.front().value;
  }

 private:
  struct Candidate {
    std::uint64_t number;
    float value;
  };
  std::deque<Candidate> candidates_;
};

}  // namespace dornvel
