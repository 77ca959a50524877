#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <string>

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
// with a silence of --frame-gap), answers them through the meter and libmodbus,
// injects the faults that fire, and stops when asked to by a signal.
class Simulator {
 public:
  Simulator(const Options& options, std::uint64_t seed, std::unique_ptr<Line> line, LinkPointer* link, TrafficLog& log,
            SignalPipe& signals, std::FILE* announceTo);

  // Prints the line's path, then serves until SIGINT/SIGTERM. Throws
  // std::runtime_error when the line fails.
  void Run();

  // The counters, to standard error and the log.
  void Report();

  // "requests=N answered=N ignored=N faults: hangup=N silence=N ..."
  std::string Counters() const;

 private:
  void HandleFrame(const Bytes& frame);
  bool LineMatchesDevice();
  void Answer(const Bytes& request, std::uint64_t number);
  // A hang-up, silence or babbling instead of the reply; false when none fired.
  bool ReplacedReply(const FaultSet& faults, const std::string& tag);
  // The reply after the foreign, bad-crc and short faults that fired.
  Bytes Mangled(Bytes reply, const FaultSet& faults, std::uint8_t slaveId, std::string& applied);
  // Sends the reply, late and/or in two parts if those faults fired; false
  // when a stop interrupted it.
  bool Deliver(const Bytes& reply, const FaultSet& faults, std::string note);
  void Mark(FaultKind kind, std::string& applied);
  void Send(const Bytes& bytes, const std::string& note);
  void Babble();
  void HangUpAndReturn();
  void AnnouncePath();

  // Waits, serving signals meanwhile; false when a stop was asked for.
  bool Pause(Clock::duration length);
  void TakeSignals();

  const Options& options_;
  std::unique_ptr<Line> line_;
  LinkPointer* link_;
  TrafficLog& log_;
  SignalPipe& signals_;
  std::FILE* announceTo_;

  Meter meter_;
  ModbusEngine engine_;
  FaultPlan faults_;
  std::mt19937_64 babbleRandom_;
  std::optional<LineSettings> lastSettings_;
  bool stop_ = false;

  std::uint64_t requests_ = 0;
  std::uint64_t answered_ = 0;
  std::uint64_t ignored_ = 0;
};

}  // namespace dornvel::sim
