#include <QCoreApplication>
#include <QSerialPortInfo>

#include "platform/device_check.h"

namespace dornvel {

// COM ports are not files here: opening one is the only test there is.
std::optional<std::string> WhyNotSerialDevice(const std::string&) { return std::nullopt; }

// The ports the system lists, also those another program holds.
bool IsSerialDevicePresent(const std::string& device) {
  const QString name = QString::fromStdString(device);
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    if (info.portName() == name) return true;
  }
  return false;
}

// Windows refuses a port that another program has open as "access denied".
std::string PermissionAdvice(const std::string&) {
  return QCoreApplication::translate("dornvel::DeviceCheck", "the port is in use: close the other program that uses it")
      .toStdString();
}

}  // namespace dornvel
