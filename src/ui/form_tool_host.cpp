#include <QTimer>

#include "protocol/line_settings.h"
#include "protocol/serial_control.h"
#include "tags/mb_collection.h"
#include "ui/form_main.h"

namespace dornvel {

// A modal dialog's own event loop, entered inside a tick, would hold that tick
// (and, entered from the timer's handler, every later one) until it closes.
void FormMain::BetweenTicks(std::function<void()> start) {
  if (!TickRunning()) {
    start();
    return;
  }
  connect(
      this, &FormMain::tickFinished, this,
      [this, start] { QTimer::singleShot(0, this, [this, start] { BetweenTicks(start); }); }, Qt::SingleShotConnection);
}

void FormMain::WhenLineFree(std::function<void()> start) {
  // The exchange on the line owns the port until it ends; the tick's others
  // are not worth the wait.
  EndTickEarly();
  BetweenTicks(std::move(start));
}

MeterAddress FormMain::MeterInUse() const {
  const auto line = ParseLineSettings(comm_->Settings()).value_or(LineSettings{});
  const int slave = session_ && Tags()->Count() > 0 ? Tags()->Item(1).Slave : 1;
  return {slave, line.baudRate};
}

void FormMain::UseMeter(MeterAddress meter) {
  ChooseRate(QString::number(meter.baudRate));
  EnterSlaveId(QString::number(meter.slave));
}

}  // namespace dornvel
