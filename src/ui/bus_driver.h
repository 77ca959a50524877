#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

#include "protocol/bus_schedule.h"
#include "protocol/line.h"

namespace dornvel {

class Clock;

// Runs the bus view's schedule on the line it holds, from the event loop: it
// is woken by the port's input and by a timer set to the time the schedule
// names, and never waits itself, so the window stays live. The hold ends with
// the driver, and polling in the main window resumes.
class BusDriver : public QObject {
 public:
  // `schedule` outlives the driver.
  BusDriver(std::unique_ptr<Line::Hold> hold, Clock& clock, BusSchedule& schedule);
  ~BusDriver() override;

  void Start() { Wake(); }

 private:
  void Wake();

  std::unique_ptr<Line::Hold> hold_;
  Clock& clock_;
  BusSchedule& schedule_;
  QTimer timer_;
  // Reading the port may signal input at once, inside Run: that wake is
  // taken by the run in progress.
  bool running_ = false;
  bool wokenMeanwhile_ = false;
};

}  // namespace dornvel
