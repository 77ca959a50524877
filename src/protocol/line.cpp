#include "protocol/line.h"

#include "protocol/event_pump.h"
#include "protocol/line_settings.h"
#include "protocol/serial_control.h"

namespace dornvel {

bool Line::WaitForExchangeEnd(ProtocolServices services, Duration limit) const {
  const TimePoint deadline = services.clock.Now() + limit;
  while (exchangeRunning_) {
    const TimePoint now = services.clock.Now();
    if (now >= deadline) return false;
    services.pump.WaitForEvents(deadline - now);
  }
  return true;
}

std::unique_ptr<Line::Hold> Line::Take(std::string holder) {
  if (Held() || exchangeRunning_) return nullptr;
  holder_ = holder.empty() ? std::string("tool") : std::move(holder);
  return std::unique_ptr<Hold>(new Hold(*this));
}

Line::Hold::Hold(Line& line)
    : line_(line), number_(line.port_.CommPort()), settings_(line.port_.Settings()), wasOpen_(line.port_.PortOpen()) {}

Line::Hold::~Hold() {
  SerialControl& port = line_.port_;
  port.SetPortOpen(false);
  port.SetCommPort(number_);
  port.SetSettings(settings_);
  if (wasOpen_) port.SetPortOpen(true);
  line_.unanswered_.reset();
  line_.holder_.clear();
  // A listener may take the line again; it sees it free.
  const auto listeners = line_.releaseListeners_;
  for (const auto& listener : listeners) listener();
}

bool Line::Hold::OpenAt(int baud) {
  SerialControl& port = line_.port_;
  port.SetPortOpen(false);  // the rate changes only while the port is closed
  port.SetSettings(MeterSettingsText(baud));
  port.SetPortOpen(true);
  return port.PortOpen();
}

int Line::Hold::Rate() const { return ParseLineSettings(line_.port_.Settings()).value_or(LineSettings{}).baudRate; }

}  // namespace dornvel
