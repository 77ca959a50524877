#pragma once

#include <QThread>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

#include "protocol/bus_schedule.h"
#include "protocol/line.h"
#include "ui/tool_host.h"

namespace dornvel {

class Clock;

// Polls the bus view's meters on a thread of its own, which waits on the port
// itself: a wake-up of the window's event loop costs several times one of a
// thread blocked on the line, and a read takes three. The window's line is
// held, and its port closed, while the driver lives; the thread opens the
// device anew on a control of its own. The window takes what the polls found
// when it shows them (TakeNews), so its thread wakes only then. When the
// driver goes, the thread stops (within kBusStopLatency), the hold ends, and
// polling in the main window resumes.
class BusDriver {
 public:
  struct EndedPoll {
    std::size_t meter = 0;  // its place in the list
    BusMeterState state;    // as the poll left it
    std::chrono::system_clock::time_point at;
  };
  struct News {
    std::vector<BusMeterState> meters;
    std::vector<EndedPoll> polls;  // since the last take, oldest first
    // Why the port could not be used at the last attempt; false once it could.
    bool portFailed = false;
  };

  BusDriver(std::unique_ptr<Line::Hold> hold, const Clock& clock, std::vector<MeterAddress> meters,
            const SerialControlFactory& makePort);
  ~BusDriver();
  BusDriver(const BusDriver&) = delete;
  BusDriver& operator=(const BusDriver&) = delete;

  News TakeNews();
  // While set, each poll's end is also told to `told`, run on `context`'s
  // thread: a recording wants its rows as the polls end, not when the table is
  // shown next. An empty `told` stops it.
  void TellEachPoll(QObject* context, std::function<void()> told);
  // Ends the polls at once and returns what they found since the last take.
  News Stop();

 private:
  void Drive(std::stop_token stop);

  std::unique_ptr<Line::Hold> hold_;
  const Clock& clock_;
  const SerialControlFactory makePort_;
  const int portNumber_;
  const std::string portSettings_;
  // The thread's alone while it runs.
  BusSchedule schedule_;

  std::mutex newsMutex_;
  News news_;
  QObject* tellContext_ = nullptr;
  std::function<void()> told_;

  std::stop_source stop_;
  std::unique_ptr<QThread> thread_;
};

}  // namespace dornvel
