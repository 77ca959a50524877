#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "sim/fault_plan.h"
#include "sim/line.h"
#include "sim/link_pointer.h"
#include "sim/meter.h"
#include "sim/modbus_engine.h"
#include "sim/options.h"
#include "sim/signal_pipe.h"
#include "sim/traffic_log.h"

namespace dornvel::sim {

// The device's main loop: collects request frames from the line (a frame ends
// with a silence of --frame-gap), answers them through the meters and
// libmodbus, injects the faults that fire, and stops when asked to by a
// signal. The one meter of --slave answers as soon as the frame has ended; a
// line of meters (--meter) is timed as a real line: a reply starts the
// turnaround after the request's last byte would have left the line, and
// each byte takes its line time. Meters that answer together collide.
class Simulator {
 public:
  Simulator(const Options& options, std::uint64_t seed, std::unique_ptr<Line> line, LinkPointer* link, TrafficLog& log,
            SignalPipe& signals, std::FILE* announceTo);

  // Prints the line's path, then serves until SIGINT/SIGTERM. Throws
  // std::runtime_error when the line fails.
  void Run();

  // The counters, to standard error and the log.
  void Report();

  // "requests=N answered=N ignored=N collisions=N faults: hangup=N silence=N ..."
  std::string Counters() const;

 private:
  // When a reply may start and at what rate its bytes go.
  struct ReplyTiming {
    Clock::time_point start;
    unsigned baud = 0;
  };

  Clock::duration FrameGap() const;
  void HandleFrame(const Bytes& frame, Clock::time_point arrived);
  // The meters that hear a request at the speed the master set; logs why
  // none does.
  std::vector<Meter*> MetersHearing(const std::optional<LineSettings>& settings);
  void Answer(const Bytes& request, std::uint64_t number, const std::vector<Meter*>& answering, ReplyTiming timing);
  // Each meter's reply to `request` (an exception reply if that fault fired),
  // and what the request did to each, for the log.
  std::vector<Bytes> Replies(const Bytes& request, const std::vector<Meter*>& meters, bool exception,
                             std::string& notes);
  // A hang-up, silence or babbling instead of the reply; false when none fired.
  bool ReplacedReply(const FaultSet& faults, const std::string& tag, unsigned baud);
  // The reply after the foreign, bad-crc and short faults that fired.
  Bytes Mangled(Bytes reply, const FaultSet& faults, std::uint8_t slaveId, std::string& applied);
  // Sends the reply, late and/or in two parts if those faults fired; false
  // when a stop interrupted it.
  bool Deliver(const Bytes& reply, const FaultSet& faults, std::string note, ReplyTiming timing);
  void Mark(FaultKind kind, std::string& applied);
  // Sends from `timing.start` on; on a timed line each byte is put on the
  // line when its line time has passed. False when a stop interrupted it.
  bool Transmit(const Bytes& bytes, ReplyTiming timing, const std::string& note);
  void Send(const Bytes& bytes, const std::string& note);
  void LogSent(const Bytes& bytes, std::size_t written, const std::string& note);
  void Babble(unsigned baud);
  void HangUpAndReturn();
  void AnnouncePath();

  // Waits, serving signals meanwhile; false when a stop was asked for.
  bool Pause(Clock::duration length) { return PauseUntil(Clock::now() + length); }
  bool PauseUntil(Clock::time_point end);
  void TakeSignals();

  const Options& options_;
  std::unique_ptr<Line> line_;
  LinkPointer* link_;
  TrafficLog& log_;
  SignalPipe& signals_;
  std::FILE* announceTo_;

  std::vector<Meter> meters_;
  const bool timed_;  // a line of meters, timed as a real line
  ModbusEngine engine_;
  FaultPlan faults_;
  std::mt19937_64 babbleRandom_;
  std::mt19937_64 collisionRandom_;
  std::optional<LineSettings> lastSettings_;
  bool stop_ = false;

  std::uint64_t requests_ = 0;
  std::uint64_t answered_ = 0;
  std::uint64_t ignored_ = 0;
  std::uint64_t collisions_ = 0;
};

}  // namespace dornvel::sim
