#pragma once

#include <iostream>
#include <sstream>
#include <string>

namespace dornvel::testing {

// What this process writes to std::cerr, kept for the scope's life: the serial
// control says there why a port closed or would not open.
class CapturedStderr {
 public:
  CapturedStderr() : previous_(std::cerr.rdbuf(text_.rdbuf())) {}
  ~CapturedStderr() { std::cerr.rdbuf(previous_); }
  CapturedStderr(const CapturedStderr&) = delete;
  CapturedStderr& operator=(const CapturedStderr&) = delete;

  std::string Text() const { return text_.str(); }

 private:
  std::ostringstream text_;
  std::streambuf* previous_;
};

}  // namespace dornvel::testing
