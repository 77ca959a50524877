#include "ui/bus_driver.h"

#include <thread>

#include "protocol/bus_drive.h"
#include "protocol/clock.h"
#include "protocol/serial_control.h"

namespace dornvel {

BusDriver::BusDriver(std::unique_ptr<Line::Hold> hold, const Clock& clock, std::vector<MeterAddress> meters,
                     const SerialControlFactory& makePort)
    : hold_(std::move(hold)),
      clock_(clock),
      makePort_(makePort),
      portNumber_(hold_->TheLine().Port().CommPort()),
      portSettings_(hold_->TheLine().Port().Settings()),
      schedule_(std::move(meters)) {
  news_.meters = schedule_.Meters();
  // The device opens on one control at a time.
  hold_->TheLine().Port().SetPortOpen(false);
  schedule_.onPolled = [this](std::size_t meter) {
    const std::lock_guard lock(newsMutex_);
    news_.meters[meter] = schedule_.Meters()[meter];
    news_.polls.push_back({meter, schedule_.Meters()[meter], std::chrono::system_clock::now()});
    if (told_) QMetaObject::invokeMethod(tellContext_, told_, Qt::QueuedConnection);
  };
  schedule_.onPortChanged = [this] {
    const std::lock_guard lock(newsMutex_);
    news_.portFailed = schedule_.PortFailed();
  };
  // A QThread, not a bare one: Qt's serial port wants an event dispatcher on
  // its thread, though this one never runs it.
  thread_.reset(QThread::create([this, stop = stop_.get_token()] { Drive(stop); }));
  thread_->start();
}

BusDriver::~BusDriver() { Stop(); }

BusDriver::News BusDriver::Stop() {
  stop_.request_stop();
  thread_->wait();
  return TakeNews();
}

void BusDriver::TellEachPoll(QObject* context, std::function<void()> told) {
  const std::lock_guard lock(newsMutex_);
  tellContext_ = context;
  told_ = std::move(told);
}

BusDriver::News BusDriver::TakeNews() {
  const std::lock_guard lock(newsMutex_);
  News taken = news_;
  news_.polls.clear();
  return taken;
}

void BusDriver::Drive(std::stop_token stop) {
  const std::unique_ptr<SerialControl> port = makePort_(nullptr);
  port->SetCommPort(portNumber_);
  port->SetSettings(portSettings_);
  Line line(*port);
  const auto hold = line.Take("bus view");
  DriveBus(
      schedule_, *hold, clock_, [](TimePoint until) { std::this_thread::sleep_until(until); }, stop);
}

}  // namespace dornvel
