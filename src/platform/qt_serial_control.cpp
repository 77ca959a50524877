#include "platform/qt_serial_control.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "platform/device_check.h"
#include "platform/port_mapping.h"
#include "platform/qt_duration.h"
#include "platform/system_input.h"
#include "platform/system_output.h"
#include "platform/traffic_trace.h"

namespace dornvel {

namespace {

QSerialPort::Parity ToQt(Parity parity) {
  switch (parity) {
    case Parity::Even: return QSerialPort::EvenParity;
    case Parity::Odd: return QSerialPort::OddParity;
    case Parity::Mark: return QSerialPort::MarkParity;
    case Parity::Space: return QSerialPort::SpaceParity;
    case Parity::None: break;
  }
  return QSerialPort::NoParity;
}

QSerialPort::StopBits ToQt(StopBits stopBits) {
  switch (stopBits) {
    case StopBits::OneAndHalf: return QSerialPort::OneAndHalfStop;
    case StopBits::Two: return QSerialPort::TwoStop;
    case StopBits::One: break;
  }
  return QSerialPort::OneStop;
}

// DTR and RTS are left as the system sets them on open.
void Apply(QSerialPort& port, const LineSettings& settings) {
  port.setBaudRate(settings.baudRate);
  port.setParity(ToQt(settings.parity));
  port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits));
  port.setStopBits(ToQt(settings.stopBits));
  port.setFlowControl(QSerialPort::NoFlowControl);
}

bool BreaksTheLine(QSerialPort::SerialPortError error) {
  return error == QSerialPort::ResourceError || error == QSerialPort::ReadError || error == QSerialPort::WriteError;
}

}  // namespace

QtSerialControl::QtSerialControl(HostWindow* parent)
    : parent_(parent), settings_(*ParseLineSettings(settingsText_)), openFailures_(std::cerr), trace_([] {
        const char* flag = std::getenv("DORNVEL_TRACE");
        return flag != nullptr && std::strcmp(flag, "1") == 0;
      }()) {
  QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                   [this](QSerialPort::SerialPortError error) { OnPortError(error); });
  QObject::connect(&port_, &QSerialPort::aboutToClose, &port_, [this] { fineTimer_.reset(); });
}

void QtSerialControl::SetPortOpen(bool open) {
  if (!open) {
    port_.close();
  } else if (!port_.isOpen()) {
    Open();
  }
}

void QtSerialControl::Open() {
  if (number_ == kNoPort) {
    openFailure_ = QCoreApplication::translate("dornvel::QtSerialControl", "No port is chosen: choose one in the list")
                       .toStdString();
    return;
  }
  const auto device = DeviceForPort(number_);
  if (!device) {
    OpenFailed("COM" + std::to_string(number_),
               QCoreApplication::translate("dornvel::QtSerialControl",
                                           "no device is assigned to it; set DORNVEL_COM%1 to the path of one")
                   .arg(number_)
                   .toStdString(),
               true);
    return;
  }
  const std::string port = PortName(*device);
  if (auto problem = WhyNotSerialDevice(*device)) {
    // Most machines have few of the sixteen default devices: only a device that
    // exists, or that the user named, is worth a word.
    OpenFailed(port, *problem, IsPortNamedByUser(number_) || std::filesystem::exists(*device));
    return;
  }
  port_.setPortName(QString::fromStdString(*device));
  Apply(port_, settings_);
  if (!port_.open(QIODevice::ReadWrite)) {
    std::string reason = port_.errorString().toStdString();
    if (port_.error() == QSerialPort::PermissionError) reason += "; " + PermissionAdvice(*device);
    OpenFailed(port, reason, true);
    return;
  }
  openFailures_.Opened(port);
  fineTimer_.emplace();
  openFailure_.clear();
  openedPort_ = port;
}

void QtSerialControl::OpenFailed(const std::string& port, const std::string& reason, bool worthAWord) {
  openFailure_ = QCoreApplication::translate("dornvel::QtSerialControl", "Cannot open %1: %2")
                     .arg(QString::fromStdString(port), QString::fromStdString(reason))
                     .toStdString();
  if (worthAWord) openFailures_.Failed(port, reason);
}

bool QtSerialControl::PortPresent(int number) const {
  const auto device = DeviceForPort(number);
  return device && IsSerialDevicePresent(*device);
}

std::string QtSerialControl::PortName(const std::string& device) const {
  const std::string com = "COM" + std::to_string(number_);
  return device == com ? com : com + " (" + device + ")";
}

// A device that vanished (an adapter unplugged, a pseudo-terminal whose peer hung
// up) keeps signalling on its descriptor; closing it stops that, and the next
// transaction opens the port again.
void QtSerialControl::OnPortError(QSerialPort::SerialPortError error) {
  if (!BreaksTheLine(error) || !port_.isOpen()) return;
  std::cerr << "dornvel: " << openedPort_ << ": " << (error == QSerialPort::WriteError ? "cannot write" : "cannot read")
            << ", the device is gone or hung up; the port is closed and the next transaction"
               " opens it again"
            << std::endl;
  port_.close();
}

bool QtSerialControl::SetCommPort(int number) {
  if (port_.isOpen() || number < kNoPort) return false;
  number_ = number;
  return true;
}

bool QtSerialControl::SetSettings(std::string_view text) {
  if (port_.isOpen()) return false;
  auto parsed = ParseLineSettings(text);
  if (!parsed) return false;
  settings_ = *parsed;
  settingsText_ = std::string(text);
  return true;
}

int QtSerialControl::InBufferCount() {
  if (!port_.isOpen()) return 0;
  // Takes in what the system already holds, without blocking.
  if (SystemInputWaiting(port_).value_or(1) > 0) port_.waitForReadyRead(0);
  return static_cast<int>(port_.bytesAvailable());
}

Bytes QtSerialControl::Input() {
  InBufferCount();
  const QByteArray data = port_.isOpen() ? port_.readAll() : QByteArray();
  return Bytes(data.begin(), data.end());
}

void QtSerialControl::SetOutput(const Bytes& frame) {
  if (!port_.isOpen()) return;
  const std::size_t taken = WriteToSystem(port_, frame);
  if (taken == frame.size()) return;
  port_.write(reinterpret_cast<const char*>(frame.data() + taken), static_cast<qint64>(frame.size() - taken));
  // Hands the rest to the system now if it can take it, instead of on the next
  // pass of the event loop.
  port_.waitForBytesWritten(0);
}

int QtSerialControl::OutBufferCount() { return port_.isOpen() ? static_cast<int>(port_.bytesToWrite()) : 0; }

void QtSerialControl::DropOutput() {
  if (port_.isOpen()) port_.clear(QSerialPort::Output);
}

void QtSerialControl::WaitForInput(Duration limit, WaitEvents events) {
  if (!port_.isOpen() || limit <= Duration::zero()) return;
  if (events == WaitEvents::Hold) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    if (WaitForSystemInput(port_, limit)) {
      port_.waitForReadyRead(ToQtMilliseconds(deadline - std::chrono::steady_clock::now()));
    }
  } else {
    RunEventsUntil(limit, [] { return true; });
  }
}

void QtSerialControl::WaitForOutputDrained(Duration limit, WaitEvents events) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  const auto drained = [this] { return port_.bytesToWrite() == 0; };
  if (!port_.isOpen() || drained()) return;
  if (events == WaitEvents::Run) {
    RunEventsUntil(limit, drained);
    return;
  }
  for (auto left = limit; port_.isOpen() && !drained() && left > Duration::zero();
       left = deadline - std::chrono::steady_clock::now()) {
    port_.waitForBytesWritten(ToQtMilliseconds(left));
  }
}

void QtSerialControl::RunEventsUntil(Duration limit, const std::function<bool()>& done) {
  QEventLoop loop;
  const auto check = [&] {
    if (!port_.isOpen() || done()) loop.quit();
  };
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  QObject::connect(&port_, &QSerialPort::readyRead, &loop, check);
  QObject::connect(&port_, &QSerialPort::bytesWritten, &loop, check);
  // A window event run meanwhile may close the port, and so does a line error.
  QObject::connect(&port_, &QSerialPort::aboutToClose, &loop, &QEventLoop::quit);
  deadline.start(ToQtMilliseconds(limit));
  loop.exec();
}

void QtSerialControl::Trace(TraceDirection direction, std::string_view tagName, const Bytes& bytes) {
  if (trace_) std::cerr << TraceLine(SinceProgramStart(), direction, tagName, bytes) << std::endl;
}

}  // namespace dornvel
