#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace dornvel::bench {

// The read of "nolu" (insulation resistance, a float in input registers 0-1):
// 8 bytes out, 9 bytes back.
constexpr std::size_t kReadRequestBytes = 8;
constexpr std::size_t kFloatReplyBytes = 9;

// Seconds that `bytes` take on the line at `baud` with 8N2 framing: a start
// bit, 8 data bits and 2 stop bits make 11 bits a character, so 9600 baud
// moves a byte in 1.146 ms and 19200 baud in 0.573 ms.
double LineSeconds(std::size_t bytes, int baud);

// A good transaction can end no sooner than the request and the reply take on
// the line plus the 0.1 s of silence that ends a reply: 119.5 ms for the read
// of "nolu" at 9600 baud, 109.7 ms at 19200.
double TransactionFloorSeconds(int baud);

// Options of dornvel-sim for a meter at `baud` reading `resistanceKohm`, or,
// without it, a resistance that drifts a little from one request to the next. A
// pseudo-terminal moves bytes at once, so the simulator stands in for the
// line: it waits the line time of the request and the reply (rounded down to
// whole milliseconds, since its wait rounds up) before it answers.
std::vector<std::string> SimulatedMeter(int baud, std::optional<float> resistanceKohm = 12.5f);

}  // namespace dornvel::bench
