#pragma once

#include <termios.h>

#include <cstdint>
#include <span>
#include <string>

#include "harness/fakes.h"
#include "harness/process.h"
#include "harness/test_crc.h"
#include "protocol/bytes.h"

namespace dornvel::testing {

// The master's side of the line, as a test plays it against the simulator: a
// raw serial port with 8 data bits, the given speed, parity and stop bits.
class RtuClient {
 public:
  explicit RtuClient(const std::string& path, speed_t speed = B9600, int stopBits = 2, char parity = 'N');
  ~RtuClient();
  RtuClient(const RtuClient&) = delete;
  RtuClient& operator=(const RtuClient&) = delete;

  void SetLine(speed_t speed, int stopBits = 2, char parity = 'N');

  void Send(const Bytes& frame);
  // Collects a reply: waits up to `firstByte` for its start, then until
  // `silence` passes without a byte. Empty when nothing came.
  Bytes Receive(Milliseconds firstByte = Milliseconds(1000), Milliseconds silence = Milliseconds(60));
  // Sends the request with its CRC and returns the reply.
  Bytes Transact(const Bytes& requestWithoutCrc, Milliseconds firstByte = Milliseconds(1000),
                 Milliseconds silence = Milliseconds(60));

  // True when the other end hung up within the time.
  bool SeesHangUp(Milliseconds within);

  int Fd() const { return fd_; }

 private:
  int fd_ = -1;
};

// A reply read from `fd` as RtuClient::Receive reads it.
Bytes ReadReply(int fd, Milliseconds firstByte, Milliseconds silence);

}  // namespace dornvel::testing
