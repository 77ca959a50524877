#pragma once

#include <QSerialPort>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/fine_system_timer.h"
#include "platform/open_failure_log.h"
#include "protocol/line_settings.h"
#include "protocol/serial_control.h"

namespace dornvel {

// The serial control on QSerialPort. Port n is COMn on Windows; elsewhere the
// device named by the environment variable DORNVEL_COM<n>, else /dev/ttyUSB0-7
// for 1-8, /dev/ttyACM0-3 for 9-12, /dev/ttyS0-3 for 13-16. DORNVEL_TRACE=1 logs
// every request and reply on standard error.
class QtSerialControl final : public SerialControl {
 public:
  explicit QtSerialControl(HostWindow* parent = nullptr);
  QtSerialControl(const QtSerialControl&) = delete;
  QtSerialControl& operator=(const QtSerialControl&) = delete;

  void SetPortOpen(bool open) override;
  bool PortOpen() const override { return port_.isOpen(); }
  bool SetCommPort(int number) override;
  int CommPort() const override { return number_; }
  std::string OpenFailure() const override { return openFailure_; }
  bool PortPresent(int number) const override;
  bool SetSettings(std::string_view text) override;
  std::string Settings() const override { return settingsText_; }

  int InBufferCount() override;
  Bytes Input() override;
  void SetOutput(const Bytes& frame) override;
  int OutBufferCount() override;
  void DropOutput() override;

  void WaitForInput(Duration limit, WaitEvents events) override;
  void WaitForOutputDrained(Duration limit, WaitEvents events) override;

  HostWindow* Parent() const override { return parent_; }

  void Trace(TraceDirection direction, std::string_view tagName, const Bytes& bytes) override;

 private:
  void Open();
  // Keeps the reason for the window; `worthAWord` also says it on standard error.
  void OpenFailed(const std::string& port, const std::string& reason, bool worthAWord);
  std::string PortName(const std::string& device) const;
  void OnPortError(QSerialPort::SerialPortError error);
  // Runs window events until `done` holds after the port signalled, the port
  // closes or fails, or the limit passes.
  void RunEventsUntil(Duration limit, const std::function<bool()>& done);

  QSerialPort port_;
  HostWindow* const parent_;
  int number_ = 1;
  std::string settingsText_ = "9600,N,8,1";
  LineSettings settings_;
  OpenFailureLog openFailures_;
  std::string openFailure_;
  // The port as the messages name it, e.g. "COM1 (/dev/ttyUSB0)", while open.
  std::string openedPort_;
  const bool trace_;
  // While the port is open.
  std::optional<FineSystemTimer> fineTimer_;
};

}  // namespace dornvel
