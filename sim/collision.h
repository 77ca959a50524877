#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace dornvel::sim {

using Bytes = std::vector<std::uint8_t>;

// What a master's UART receives when several RS-485 drivers send at once.
// Each reply goes out as 8N2 characters (start bit 0, eight data bits least
// significant first, two stop bits 1); the second and later drivers start a
// random 1.5 bits to 2 characters after the first, as two meters'
// turnarounds never match to within a bit. Where the drivers
// disagree the differential voltage collapses and the receiver reads noise;
// where they agree it reads their level. The result is resampled as a UART
// does (a falling edge starts a character, each bit read in its middle), so
// the bytes are neither reply and almost never carry a valid CRC, and each
// draw of `random` gives other garbage, as each retry on a real line does.
// One reply alone comes out unchanged.
Bytes Collide(std::span<const Bytes> replies, std::mt19937_64& random);

}  // namespace dornvel::sim
