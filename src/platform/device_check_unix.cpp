#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <cstring>

#include "platform/device_check.h"

namespace dornvel {

std::optional<std::string> WhyNotSerialDevice(const std::string& device) {
  struct stat info {};
  if (::stat(device.c_str(), &info) != 0) return std::string(std::strerror(errno));
  if (S_ISDIR(info.st_mode))
    return QCoreApplication::translate("dornvel::DeviceCheck", "a directory, not a serial device").toStdString();
  // A plain file or a pipe would "open" and swallow every request without a reply.
  if (!S_ISCHR(info.st_mode)) {
    return QCoreApplication::translate("dornvel::DeviceCheck", "not a character device, so not a serial port")
        .toStdString();
  }
  return std::nullopt;
}

bool IsSerialDevicePresent(const std::string& device) { return !WhyNotSerialDevice(device); }

std::string PermissionAdvice(const std::string& device) {
  struct stat info {};
  const bool forbidden =
      ::stat(device.c_str(), &info) == 0 && ::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
  // Allowed to the user, so refused because another program holds its lock.
  if (!forbidden) {
    return QCoreApplication::translate("dornvel::DeviceCheck",
                                       "the device is in use: close the other program that uses it")
        .toStdString();
  }
  const group* owner = ::getgrgid(info.st_gid);
  return QCoreApplication::translate("dornvel::DeviceCheck",
                                     "add the user to the group that owns %1 (%2) and log in again")
      .arg(QString::fromStdString(device),
           owner != nullptr ? QString::fromLocal8Bit(owner->gr_name) : QStringLiteral("dialout"))
      .toStdString();
}

}  // namespace dornvel
