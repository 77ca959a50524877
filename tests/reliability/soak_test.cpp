#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <set>
#include <string>

#include "harness/program_window.h"
#include "harness/resident_memory.h"
#include "harness/simulator.h"
#include "harness/traffic_log.h"

namespace dornvel::testing {
namespace {

using namespace std::chrono_literals;
using SteadyTime = std::chrono::steady_clock;

// 30 s in CI; DORNVEL_SOAK_SECONDS=600 makes it the ten-minute soak.
std::chrono::seconds SoakLength() {
  const char* text = std::getenv("DORNVEL_SOAK_SECONDS");
  const long seconds = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
  return std::chrono::seconds(seconds > 0 ? seconds : 30);
}

// Each of these spoils the one exchange it hits, however many of them combine
// there: the request gets no reply in time (silence), or noise (babble), or a
// reply that the checks refuse (a cut reply fails the CRC: the device's
// shortest reply keeps at least two bytes). A hang-up closes the port under
// the exchange, which ends it without a count, and a delay or a split within
// the limits of this soak still delivers the whole reply.
const std::set<std::string> kSpoilingKinds = {"silence", "babble", "exception", "foreign", "bad-crc", "short"};

// The errors the window must count for these faults: one for each request
// whose reply is lost or refused.
long ErrorsTheWindowMustCount(const FaultsByRequest& faults) {
  long errors = 0;
  for (const auto& [request, kinds] : faults) {
    const auto spoils = [](const std::string& kind) { return kSpoilingKinds.contains(kind); };
    errors += std::any_of(kinds.begin(), kinds.end(), spoils) ? 1 : 0;
  }
  return errors;
}

// AddressSanitizer holds freed memory back in quarantine, so resident memory
// grows there without a leak; its LeakSanitizer checks for leaks instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentMemoryTellsLeaks = false;
#else
constexpr bool kResidentMemoryTellsLeaks = true;
#endif

constexpr const char* kFaultKinds[] = {"hangup",  "silence", "babble", "exception", "foreign",
                                       "bad-crc", "short",   "delay",  "split"};

TEST(Soak, polling_through_one_percent_of_every_fault_loses_no_count_and_keeps_memory_flat) {
  // Every kind on 1% of the requests, drawn from a fixed seed. The delay and
  // the split stay within the limits that make them harmless (under the 2 s
  // first-byte wait, under the 0.1 s end-of-reply silence), as in the
  // hostile-line matrix.
  TempDir dir;
  Simulator sim(dir, {"--link",        (dir / "com1").string(),
                      "--resistance",  "12.5",
                      "--switch",      "7",
                      "--seed",        "11",
                      "--hangup",      "1%",
                      "--hangup-time", "1",
                      "--silence",     "1%",
                      "--babble",      "1%",
                      "--exception",   "1%",
                      "--foreign",     "1%",
                      "--bad-crc",     "1%",
                      "--short",       "1%",
                      "--delay",       "1%",
                      "--split",       "1%",
                      "--split-gap",   "0.03"});
  ASSERT_FALSE(sim.Path().empty()) << sim.Errors();
  ProgramWindow window({{1, (dir / "com1").string()}});
  window.Start();
  // Back to back rather than once a second: more requests, and so more
  // faults, in the same time.
  window.SetPollingInterval(10ms);

  // Memory once the window, its port and its tags are set up.
  ASSERT_TRUE(window.RunTicks(5, 30s)) << window.Stderr();
  const long settledKiB = ResidentKiB();
  const auto end = SteadyTime::now() + SoakLength();
  const bool ranToTheEnd = window.RunUntil([&] { return SteadyTime::now() >= end; }, SoakLength() + 30s);
  const long finalKiB = ResidentKiB();
  window.Close();
  const std::optional<int> simulatorExit = sim.Stop();
  std::map<std::string, long> counters = sim.Counters();
  const FaultsByRequest applied = ReadFaults(sim.Log());
  std::map<std::string, long> appliedByKind = CountByKind(applied);

  EXPECT_TRUE(ranToTheEnd) << "a tick never finished";
  EXPECT_EQ(simulatorExit, 0);
  EXPECT_FALSE(applied.empty()) << "no fault was injected";
  for (const char* kind : kFaultKinds) EXPECT_EQ(appliedByKind[kind], counters[kind]) << kind;
  EXPECT_EQ(window.ErrorCount(), ErrorsTheWindowMustCount(applied)) << sim.Errors();
  EXPECT_GT(window.EventsDuringExchanges(), 0) << "no window event ran while an exchange waited";
  // A leak check, not a performance figure: growth by whole mebibytes would
  // be a leak per tick or per fault, far above what allocator slack explains.
  if (kResidentMemoryTellsLeaks) {
    EXPECT_LE(finalKiB - settledKiB, 8 * 1024) << "from " << settledKiB << " KiB to " << finalKiB << " KiB";
  }
  std::cout << "soak: " << window.Ticks() << " ticks, " << counters["requests"] << " requests, " << applied.size()
            << " with faults, " << window.ErrorCount().value_or(-1) << " errors counted, resident " << settledKiB
            << " -> " << finalKiB << " KiB\n";
}

}  // namespace
}  // namespace dornvel::testing
