#pragma once

#include <stdexcept>
#include <string>

namespace dornvel {

// The numbered run-time errors of the tag: a definition that Init refuses, or a
// value that cannot be encoded into a request. Line errors are never raised.
enum class ErrorNumber : int {
  InvalidRegAddress = 2,
  InvalidRegType = 3,
  InvalidCall = 5,
  Overflow = 6,
  Subscript = 9,
  TypeMismatch = 13,
};

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(ErrorNumber number, const std::string& what) : std::runtime_error(what), number_(number) {}
  ErrorNumber Number() const { return number_; }

 private:
  ErrorNumber number_;
};

}  // namespace dornvel
