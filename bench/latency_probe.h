#pragma once

#include <QThread>
#include <memory>

namespace dornvel::bench {

// How long the window's thread keeps a posted event waiting, as it would keep
// a click of the user waiting: a thread of its own posts a time-stamped event
// every 5 ms, and the window's thread notes the delay when the event runs.
class LatencyProbe {
 public:
  LatencyProbe();
  ~LatencyProbe();
  LatencyProbe(const LatencyProbe&) = delete;
  LatencyProbe& operator=(const LatencyProbe&) = delete;

  // The longest delay of an event run since the last call, in milliseconds.
  double TakeLongestMs();

 private:
  class Receiver;
  std::unique_ptr<Receiver> receiver_;
  QThread poster_;
};

}  // namespace dornvel::bench
