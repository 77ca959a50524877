#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

#include "fault_tally.h"
#include "meter_window.h"

namespace dornvel::reliability {
namespace {

using namespace std::chrono_literals;
using SteadyTime = std::chrono::steady_clock;

// 30 s in CI; DORNVEL_SOAK_SECONDS=600 makes it the ten-minute soak.
std::chrono::seconds SoakLength() {
  const char* text = std::getenv("DORNVEL_SOAK_SECONDS");
  const long seconds = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
  return std::chrono::seconds(seconds > 0 ? seconds : 30);
}

// This process's resident memory in KiB (VmRSS of /proc/self/status).
long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string field;
  long kib = -1;
  while (status >> field) {
    if (field == "VmRSS:") status >> kib;
  }
  return kib;
}

// AddressSanitizer holds freed memory back in quarantine, so resident memory
// grows there without a leak; its LeakSanitizer checks for leaks instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentMemoryTellsLeaks = false;
#else
constexpr bool kResidentMemoryTellsLeaks = true;
#endif

constexpr const char* kFaultKinds[] = {"hangup", "silence", "babble", "exception", "foreign",
                                       "bad-crc", "short", "delay", "split"};

TEST(Soak, polling_through_one_percent_of_every_fault_loses_no_count_and_keeps_memory_flat) {
  // Every kind on 1% of the requests, drawn from a fixed seed. The delay and
  // the split stay within the limits that make them harmless (under the 2 s
  // first-byte wait, under the 0.1 s end-of-reply silence), as in the
  // hostile-line matrix.
  MeterWindow window({"--seed", "11", "--hangup", "1%", "--hangup-time", "1", "--silence", "1%", "--babble", "1%",
                      "--exception", "1%", "--foreign", "1%", "--bad-crc", "1%", "--short", "1%", "--delay", "1%",
                      "--split", "1%", "--split-gap", "0.03"});
  ASSERT_FALSE(window.Simulator().path().empty()) << window.Simulator().errors();
  window.Start();
  // Back to back rather than once a second: more requests, and so more
  // faults, in the same time.
  window.SetPollingInterval(10ms);

  // Memory once the window, its port and its tags are set up.
  ASSERT_TRUE(window.RunTicksUntil([&] { return window.TicksFinished() >= 5; }, 30s)) << window.Stderr();
  const long settledKiB = ResidentKiB();
  const auto end = SteadyTime::now() + SoakLength();
  const bool ranToTheEnd = window.RunTicksUntil([&] { return SteadyTime::now() >= end; }, SoakLength() + 30s);
  const long finalKiB = ResidentKiB();
  window.Close();
  const std::optional<int> simulatorExit = window.Simulator().stop();
  std::map<std::string, long> counters = window.Simulator().counters();
  const FaultsByRequest applied = ReadFaults(window.Simulator().log());
  std::map<std::string, long> appliedByKind = CountByKind(applied);

  EXPECT_TRUE(ranToTheEnd) << "a tick never finished";
  EXPECT_EQ(simulatorExit, 0);
  EXPECT_FALSE(applied.empty()) << "no fault was injected";
  for (const char* kind : kFaultKinds) EXPECT_EQ(appliedByKind[kind], counters[kind]) << kind;
  EXPECT_EQ(window.ErrorCount(), ErrorsTheWindowMustCount(applied)) << window.Simulator().errors();
  EXPECT_GT(window.beatsDuringExchanges, 0) << "no window event ran while an exchange waited";
  // A leak check, not a performance figure: growth by whole mebibytes would
  // be a leak per tick or per fault, far above what allocator slack explains.
  if (kResidentMemoryTellsLeaks) {
    EXPECT_LE(finalKiB - settledKiB, 8 * 1024) << "from " << settledKiB << " KiB to " << finalKiB << " KiB";
  }
  std::cout << "soak: " << window.TicksFinished() << " ticks, " << counters["requests"] << " requests, "
            << applied.size() << " with faults, " << window.ErrorCount() << " errors counted, resident "
            << settledKiB << " -> " << finalKiB << " KiB\n";
}

}  // namespace
}  // namespace dornvel::reliability
