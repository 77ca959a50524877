#include "app/command_port.h"

#include <QCoreApplication>
#include <iostream>

#include "platform/settings_format.h"
#include "ui/qt_settings_store.h"

namespace dornvel {

namespace {

// "Com7" (any letter case) is port 7.
std::optional<int> PortNumber(const QString& name) {
  if (!name.startsWith(QStringLiteral("com"), Qt::CaseInsensitive)) return std::nullopt;
  bool ok = false;
  const int number = name.mid(3).toInt(&ok);
  if (!ok || name.mid(3).startsWith(QLatin1Char('+')) || number < 1 || number > kLastCommandLinePort) {
    return std::nullopt;
  }
  return number;
}

void Say(const QString& text) { std::cerr << "dornvel: " << text.toStdString() << std::endl; }

}  // namespace

std::optional<int> CommandLinePort(const QString& given) {
  if (!given.isEmpty()) {
    const auto number = PortNumber(given);
    if (!number) {
      Say(QCoreApplication::translate("dornvel::ListMeters", "--port takes Com1 to Com%1, not '%2'.")
              .arg(kLastCommandLinePort)
              .arg(given));
    }
    return number;
  }
  QtSettingsStore settings(QStringLiteral("dornvel"), UserSettingsFormat());
  const QString saved = settings.GetSetting(QStringLiteral("Properties"), QStringLiteral("ComPort"), QString());
  const auto number = PortNumber(saved);
  if (!number) {
    Say(QCoreApplication::translate("dornvel::ListMeters",
                                    "No port is saved in the settings: give one with --port ComN."));
  }
  return number;
}

}  // namespace dornvel
