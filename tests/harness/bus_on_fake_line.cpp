#include "harness/bus_on_fake_line.h"

#include "protocol/bus_drive.h"
#include "protocol/line.h"

namespace dornvel::testing {

BusRun RunBusOnFakeLine(const std::vector<MeterAddress>& polled, std::vector<SimulatedMeter> onLine, Duration length,
                        bool portOpens) {
  FakeClock clock;
  FakeEventPump pump{clock};
  ScriptedSerialControl port{clock, pump, nullptr};
  MetersOnLine meters(std::move(onLine));
  meters.Attach(port);
  port.SetSettings(MeterSettingsText(polled.empty() ? 9600 : polled.front().baudRate));
  port.openable = portOpens;
  port.SetPortOpen(true);
  Line line(port);
  const auto hold = line.Take("bus");

  BusRun run;
  run.start = clock.Now();
  BusSchedule schedule(polled);
  schedule.onPolled = [&](std::size_t meter) {
    run.polls.push_back({meter, clock.Now(), schedule.Meters()[meter].lastEnd});
  };
  const int openedBefore = port.openCalls;
  run.wakes = DriveBus(
      schedule, *hold, clock, [&clock](TimePoint until) { clock.AdvanceTo(until); }, {}, run.start + length);
  run.meters = schedule.Meters();
  run.sent = port.Sent();
  run.portOpenings = port.openCalls - openedBefore;
  return run;
}

Duration BusFloor(const std::vector<SimulatedMeter>& onLine) {
  constexpr int kRequestAndReplyBytes = 8 + 11;
  Duration floor{};
  for (const SimulatedMeter& meter : onLine) {
    if (meter.dead) continue;
    const Duration character = MeterLine(meter.baudRate).CharacterTime();
    floor += character * kRequestAndReplyBytes + meter.turnaround + character * 7 / 2;
  }
  return floor;
}

std::vector<Duration> RefreshIntervals(const BusRun& run, std::size_t meter) {
  std::vector<Duration> intervals;
  TimePoint last = run.start;
  for (const EndedPoll& poll : run.polls) {
    if (poll.meter != meter || poll.end != BusPollEnd::Answered) continue;
    intervals.push_back(poll.at - last);
    last = poll.at;
  }
  return intervals;
}

}  // namespace dornvel::testing
