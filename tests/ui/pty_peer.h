#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "protocol/bytes.h"

namespace dornvel::testing {

// The device end of a pseudo-terminal. The program opens DevicePath() as its
// serial port; the test reads the requests and writes the replies here.
class PtyPeer {
 public:
  PtyPeer();
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  bool IsOpen() const { return master_ >= 0; }
  const std::string& DevicePath() const { return devicePath_; }

  // Reads `count` bytes; fewer when the deadline passes first.
  Bytes Read(std::size_t count, std::chrono::steady_clock::time_point deadline);
  void Write(const Bytes& bytes);

 private:
  int master_ = -1;
  // Held open so that the line does not hang up while the program closes and
  // reopens its end.
  int slave_ = -1;
  std::string devicePath_;
};

}  // namespace dornvel::testing
