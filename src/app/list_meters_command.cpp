#include "app/list_meters_command.h"

#include <QCoreApplication>
#include <charconv>
#include <chrono>
#include <iostream>
#include <optional>
#include <string>

#include "app/command_port.h"
#include "app/translations.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_serial_control.h"
#include "platform/steady_clock.h"
#include "protocol/line.h"
#include "protocol/line_settings.h"
#include "protocol/meter_census.h"

namespace dornvel {

namespace {

constexpr int kFound = 0;
constexpr int kNoneFound = 1;
constexpr int kBadArgument = 2;
// Progress is told at every tenth of the probes.
constexpr int kProgressSteps = 10;

// The shortest text that reads back as the same float, with '.' for decimals.
std::string MachineNumber(float value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

std::string CsvRow(const CensusEntry& entry) {
  std::string state;
  switch (entry.state) {
    case CensusState::Ok: state = "ok"; break;
    case CensusState::Exception: state = "exception " + std::to_string(entry.exceptionCode); break;
    case CensusState::SuspectedDuplicate: state = "suspected duplicate id"; break;
  }
  return std::to_string(entry.meter.slave) + ',' + std::to_string(entry.meter.baudRate) + ',' +
         (entry.resistanceKohm ? MachineNumber(*entry.resistanceKohm) : "") + ',' +
         (entry.switchValue ? std::to_string(*entry.switchValue) : "") + ',' + state;
}

void Say(const QString& text) { std::cerr << "dornvel: " << text.toStdString() << std::endl; }

}  // namespace

int ListMeters(int argc, char* argv[], const QString& port) {
  QCoreApplication application(argc, argv);
  const Translations translations;
  QCoreApplication::setApplicationName(QStringLiteral("dornvel"));
  const auto number = CommandLinePort(port);
  if (!number) return kBadArgument;

  SteadyClock clock;
  QtEventPump pump;
  QtSerialControl serial;
  serial.SetCommPort(*number);
  serial.SetSettings(MeterSettingsText(meter::kRates[0]));
  serial.SetPortOpen(true);
  if (!serial.PortOpen()) {
    Say(QString::fromStdString(serial.OpenFailure()));
    return kBadArgument;
  }
  Line line(serial);

  std::cout << "slave_id,baud_rate,resistance_kohm,switch,state" << std::endl;
  CensusHooks hooks;
  int told = 0;
  hooks.onProbe = [&told](MeterAddress probed, int probe, int total) {
    if (probe != 1 && probe * kProgressSteps / total <= told) return;
    told = probe * kProgressSteps / total;
    Say(QCoreApplication::translate("dornvel::ListMeters", "asking slave id %1 at %2 baud (%3 of %4)")
            .arg(probed.slave)
            .arg(probed.baudRate)
            .arg(probe)
            .arg(total));
  };
  hooks.onFound = [](const CensusEntry& entry) { std::cout << CsvRow(entry) << std::endl; };
  const auto start = clock.Now();
  const Census census = TakeCensus(line, {pump, clock}, {}, hooks);
  const double seconds = std::chrono::duration<double>(clock.Now() - start).count();

  if (census.bothRates)
    Say(QCoreApplication::translate("dornvel::ListMeters", "meters at 9600 and at 19200 share this line"));
  for (const MeterAddress& garbled : census.garbled) {
    Say(QCoreApplication::translate("dornvel::ListMeters",
                                    "slave id %1 at %2 baud answered only garbled, on a line too noisy to tell why")
            .arg(garbled.slave)
            .arg(garbled.baudRate));
  }
  if (census.outcome == CensusOutcome::PortUnavailable) {
    const std::string why = serial.OpenFailure();
    Say(why.empty()
            ? QCoreApplication::translate("dornvel::ListMeters", "Com%1 was lost during the census.").arg(*number)
            : QString::fromStdString(why));
  }
  Say(QCoreApplication::translate("dornvel::ListMeters", "%1 meter(s) found in %2 s")
          .arg(census.meters.size())
          .arg(QString::number(seconds, 'f', 1)));
  if (census.outcome == CensusOutcome::PortUnavailable) return kBadArgument;
  return census.meters.empty() ? kNoneFound : kFound;
}

}  // namespace dornvel
