#include "protocol/value.h"

#include <charconv>

#include "protocol/numeric_text.h"
#include "protocol/runtime_error.h"

namespace dornvel {

namespace {

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

// Shortest decimal text that reads back as the same number.
template <class Number>
std::string ShortestText(Number v) {
  char buf[64];
  auto result = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, result.ptr);
}

}  // namespace

std::optional<double> Value::Number() const {
  return std::visit(Overloaded{
                        [](std::monostate) -> std::optional<double> { return 0.0; },
                        [](bool b) -> std::optional<double> { return b ? -1.0 : 0.0; },
                        [](std::int16_t i) -> std::optional<double> { return i; },
                        [](float f) -> std::optional<double> { return f; },
                        [](double d) -> std::optional<double> { return d; },
                        [](const std::string&) -> std::optional<double> { return std::nullopt; },
                    },
                    storage_);
}

double Value::ToNumber() const {
  if (auto n = Number()) return *n;
  auto parsed = ParseNumber(std::get<std::string>(storage_));
  if (!parsed) throw RuntimeError(ErrorNumber::TypeMismatch, "Type mismatch: the text is not a number");
  return *parsed;
}

std::string Value::ToText() const {
  return std::visit(Overloaded{
                        [](std::monostate) { return std::string(); },
                        [](bool b) { return std::string(b ? "True" : "False"); },
                        [](std::int16_t i) { return std::to_string(i); },
                        [](float f) { return ShortestText(f); },
                        [](double d) { return ShortestText(d); },
                        [](const std::string& s) { return s; },
                    },
                    storage_);
}

bool operator==(const Value& a, const Value& b) {
  // The empty value is both 0 and the empty text; a number never equals a text.
  if (a.IsEmpty() && b.IsText()) return std::get<std::string>(b.storage_).empty();
  if (b.IsEmpty() && a.IsText()) return std::get<std::string>(a.storage_).empty();
  if (a.IsText() || b.IsText()) {
    return a.IsText() && b.IsText() && std::get<std::string>(a.storage_) == std::get<std::string>(b.storage_);
  }
  return *a.Number() == *b.Number();
}

}  // namespace dornvel
