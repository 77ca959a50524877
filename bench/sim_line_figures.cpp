// dornvel-sim as a line of 32 meters: how long a master takes to poll each
// meter once, against what a real line allows, at 9600 and 19200 baud. The
// master here is the harness's raw client, so the figures are the
// simulator's and the line's alone.
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "bench/figure_row.h"
#include "bench/simulated_line.h"
#include "harness/rtu_client.h"
#include "harness/simulator.h"

namespace dornvel::bench {

namespace {

using SteadyTime = std::chrono::steady_clock;

constexpr int kMeters = 32;
constexpr int kRounds = 10;
constexpr double kTurnaroundSeconds = 0.005;  // dornvel-sim's default
constexpr double kTargetRoundSeconds = 1.0;   // every meter polled once a second

// A master that knows the reply's length reads exactly that many bytes,
// then keeps the 3.5 characters of silence that must separate frames.
bool ReadReply(int fd, std::size_t length, int baud) {
  std::size_t got = 0;
  while (got < length) {
    pollfd line{fd, POLLIN, 0};
    if (::poll(&line, 1, 100) <= 0) return false;
    std::uint8_t chunk[64];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  pollfd quiet{fd, POLLIN, 0};
  const int silenceMs = static_cast<int>(std::ceil(LineSeconds(7, baud) / 2 * 1e3));
  return ::poll(&quiet, 1, silenceMs) == 0 && got == length;
}

struct Rounds {
  std::vector<double> roundSeconds;
  std::vector<double> transactionSeconds;
};

Rounds PollLine(int baud) {
  std::vector<std::string> arguments;
  for (int id = 1; id <= kMeters; ++id)
    arguments.insert(arguments.end(), {"--meter", std::to_string(id) + "@" + std::to_string(baud) + ":12.5"});
  testing::TempDir dir;
  testing::Simulator sim(dir, arguments);
  testing::RtuClient client(sim.Path(), baud == 19200 ? B19200 : B9600);
  Rounds rounds;
  for (int round = 0; round < kRounds; ++round) {
    const auto roundStart = SteadyTime::now();
    for (int id = 1; id <= kMeters; ++id) {
      const auto start = SteadyTime::now();
      client.Send(testing::WithCrc({static_cast<std::uint8_t>(id), 0x04, 0x00, 0x00, 0x00, 0x02}));
      if (!ReadReply(client.Fd(), kFloatReplyBytes, baud)) return {};
      rounds.transactionSeconds.push_back(std::chrono::duration<double>(SteadyTime::now() - start).count());
    }
    rounds.roundSeconds.push_back(std::chrono::duration<double>(SteadyTime::now() - roundStart).count());
  }
  return rounds;
}

}  // namespace

}  // namespace dornvel::bench

int main() {
  using namespace dornvel::bench;
  for (int baud : {9600, 19200}) {
    const Rounds rounds = PollLine(baud);
    const bool polled = !rounds.roundSeconds.empty();
    // A real line: request, turnaround, reply, and the master's wait for the
    // silence before the next request (3.5 characters, rounded up to whole
    // milliseconds as its poll() waits).
    const double floor = LineSeconds(kReadRequestBytes + kFloatReplyBytes, baud) + kTurnaroundSeconds +
                         std::ceil(LineSeconds(7, baud) / 2 * 1e3) / 1e3;
    const double transaction = polled ? Median(rounds.transactionSeconds) : 0.0;
    const double round = polled ? Median(rounds.roundSeconds) : 0.0;
    Print({"simulated line of 32 meters, " + std::to_string(baud) + " baud: one read of nolu each, median round",
           "<= " + Fixed(kTargetRoundSeconds * 1e3, 0) + " ms", polled ? Fixed(round * 1e3, 1) + " ms" : "no reply",
           "-", polled && round <= kTargetRoundSeconds});
    Print({"simulated line, " + std::to_string(baud) +
               " baud: transaction / a real line's (line time + 5 ms turnaround + master's 3.5-character wait)",
           "-", polled ? Fixed(transaction * 1e3, 2) + " / " + Fixed(floor * 1e3, 2) + " ms" : "no reply", "-",
           std::nullopt});
  }
  return 0;
}
