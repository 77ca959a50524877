#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace dornvel {

// The value of a tag: empty, a boolean, a 16-bit integer, a 32-bit float, a double
// or a text (UTF-8). Values compare by value: numbers numerically whatever their
// width, the empty value equal to 0 and to the empty text, true equal to -1.
class Value {
 public:
  using Storage = std::variant<std::monostate, bool, std::int16_t, float, double, std::string>;

  Value() = default;
  Value(bool v) : storage_(v) {}
  Value(std::int16_t v) : storage_(v) {}
  Value(float v) : storage_(v) {}
  Value(double v) : storage_(v) {}
  Value(std::string v) : storage_(std::move(v)) {}
  Value(const char* v) : storage_(std::string(v)) {}

  bool IsEmpty() const { return std::holds_alternative<std::monostate>(storage_); }
  bool IsText() const { return std::holds_alternative<std::string>(storage_); }
  const Storage& Get() const { return storage_; }

  // The number a non-text value stands for (empty 0, true -1); none for a text.
  std::optional<double> Number() const;
  // The number for an encoder: a text must read as a number, else type mismatch.
  double ToNumber() const;
  // The text for an encoder: numbers in their shortest decimal form.
  std::string ToText() const;

  friend bool operator==(const Value& a, const Value& b);

 private:
  Storage storage_;
};

}  // namespace dornvel
