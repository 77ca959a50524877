#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "protocol/clock.h"
#include "protocol/line.h"
#include "protocol/meter_model.h"
#include "protocol/meter_search.h"
#include "protocol/protocol_services.h"

namespace dornvel {

// Giving one meter, alone on the line, its slave id and rate: the steps in
// the order they run.
enum class CommissioningStep { Find, LoneMeterCheck, WriteId, WriteRate, Verify, Readings };
inline constexpr CommissioningStep kCommissioningSteps[] = {
    CommissioningStep::Find,      CommissioningStep::LoneMeterCheck, CommissioningStep::WriteId,
    CommissioningStep::WriteRate, CommissioningStep::Verify,         CommissioningStep::Readings};

enum class CommissioningOutcome {
  Verified,         // the meter answers at its new settings and reads them back
  NotVerified,      // it does not: `failure` says why, `answersAt` where it answers
  NoMeter,          // nothing answers at any id and rate; nothing written
  SeveralMeters,    // another meter answers at the rate where one was found; nothing written
  BadTarget,        // the new id or rate is not one the meter takes; nothing sent
  Cancelled,        // the caller's cancel, before anything was written
  PortUnavailable,  // the port did not open, or closed before anything was written
};

enum class CommissioningFailure {
  None,
  JumperNotSet,      // a write refused with exception 1: the jumper JP is not set
  WriteRefused,      // a write refused with another exception (`exceptionCode`)
  ReplyLost,         // a write's reply did not come
  NotAtNewSettings,  // the rate write was answered, but nothing answers at the new settings
  ReadBackDiffers,   // holding registers 0 and 1 read back other values
  PortLost,          // the port closed under the sequence
  Cancelled,         // the caller's cancel, after a write
};

struct StepTime {
  CommissioningStep step;
  Duration took;
};

struct Commissioning {
  CommissioningOutcome outcome = CommissioningOutcome::NoMeter;
  CommissioningFailure failure = CommissioningFailure::None;
  // The step that failed, for NotVerified.
  std::optional<CommissioningStep> failedStep;
  int exceptionCode = 0;
  MeterAddress target;
  // Where the meter was found, before anything was written.
  std::optional<MeterAddress> found;
  // Where it answered last: after a failure, where it answers now, when it
  // answers at all (see `answersNowhere`).
  std::optional<MeterAddress> answersAt;
  // After a failure: looked for at its old and new settings, it answered at
  // none; `lastKnown` holds where it last answered.
  bool answersNowhere = false;
  std::optional<MeterAddress> lastKnown;
  // The writes whose reply did not come, but which the meter had taken.
  std::vector<CommissioningStep> repliesLost;
  // SeveralMeters: the other slave ids that answered.
  std::vector<int> otherIds;
  // Read at the new settings: the median of three resistance readings, and the switch.
  std::optional<float> resistanceKohm;
  std::optional<int> switchValue;
  // Each step run, with how long it took.
  std::vector<StepTime> steps;
};

struct CommissioningHooks {
  // Told as each step begins and ends; window events may run inside.
  std::function<void(CommissioningStep)> onStep;
  std::function<void(const StepTime&)> onStepDone;
  // The search's progress, during Find.
  std::function<void(const SearchProgress&)> onProbe;
  // Asked before each request and after each wait.
  std::function<bool()> cancelled;
};

// Finds the one meter on the line the caller holds (first at `expected`,
// where a new meter answers from the factory), makes sure no other meter
// answers at the rate where it was found, then writes `target`'s slave id
// and then its rate (function 16 to holding registers 0 and 1), verifies the
// meter at `target` by reading both back and reads its resistance three times
// and its switch.
//
// The meter answers a write at its old settings: the id write from its old
// id, the rate write (sent to the new id at the old rate) at the old rate.
// When a write's reply does not come, the meter is looked for at its old and
// its new settings; if it has taken the write, the sequence goes on.
// Nothing further is written after a write has failed.
//
// Before: `target` is checked first; nothing is sent for an id outside
// 1..247 or a rate other than 9600 or 19200. After: the port is left open at
// whatever rate the sequence last used; the caller's hold puts it back.
Commissioning Commission(Line::Hold& hold, ProtocolServices services, MeterAddress target,
                         const CommissioningHooks& hooks, MeterAddress expected = {1, 9600});

// The exit status of the command that commissions one meter: 0 verified, 1
// not verified, 2 a bad target, 3 no meter or more than one.
int ExitStatusOf(const Commissioning& result);

// The verdict on a resistance against the prewarning and alarm values (in
// kilohms): pass at or above the prewarning value, warning below it and at or
// above the alarm value, fail below the alarm value. None without a
// resistance or without either value.
enum class Verdict { None, Pass, Warning, Fail };
Verdict Judge(std::optional<float> resistanceKohm, std::optional<double> prewarningKohm,
              std::optional<double> alarmKohm);

}  // namespace dornvel
