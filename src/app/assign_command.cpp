#include "app/assign_command.h"

#include <QCoreApplication>
#include <chrono>
#include <iostream>
#include <optional>

#include "app/command_port.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_serial_control.h"
#include "platform/steady_clock.h"
#include "protocol/commissioning.h"
#include "protocol/line.h"
#include "readings/commissioning_row.h"
#include "readings/csv_recorder.h"
#include "ui/commissioning_text.h"

namespace dornvel {

namespace {

constexpr int kBadArgument = 2;

std::optional<int> WholeNumber(const QString& text) {
  bool ok = false;
  const int value = text.toInt(&ok);
  return ok ? std::optional<int>(value) : std::nullopt;
}

// A threshold, when given: a number of kilohms, not negative.
std::optional<std::optional<double>> Threshold(const QCommandLineParser& parser, const QCommandLineOption& option) {
  if (!parser.isSet(option)) return std::optional<double>();
  bool ok = false;
  const double value = parser.value(option).toDouble(&ok);
  if (!ok || value < 0) return std::nullopt;
  return std::optional<double>(value);
}

int Refuse(const QString& why) {
  std::cerr << QCoreApplication::applicationName().toStdString() << ": " << why.toStdString() << '\n';
  return kBadArgument;
}

}  // namespace

AssignCommand::AssignCommand(QCommandLineParser& parser, const QCommandLineOption& port)
    : parser_(parser),
      port_(port),
      assign_(QStringLiteral("assign"),
              QCoreApplication::translate(
                  "dornvel::AssignCommand",
                  "Give the one meter on the line the slave id ID (1 to 247), then the baud rate of --rate, "
                  "and verify it there; no window."),
              QStringLiteral("ID")),
      rate_(QStringLiteral("rate"),
            QCoreApplication::translate("dornvel::AssignCommand",
                                        "The meter's new baud rate, 9600 or 19200 (with --assign)."),
            QStringLiteral("RATE")),
      report_(QStringLiteral("report"),
              QCoreApplication::translate("dornvel::AssignCommand",
                                          "Append the meter's row to FILE, a CSV report (with --assign)."),
              QStringLiteral("FILE")),
      prewarning_(
          QStringLiteral("prewarning"),
          QCoreApplication::translate("dornvel::AssignCommand",
                                      "The resistance at or above which the meter passes, in kilohms (with --assign)."),
          QStringLiteral("KOHM")),
      alarm_(QStringLiteral("alarm"),
             QCoreApplication::translate("dornvel::AssignCommand",
                                         "The resistance below which the meter fails, in kilohms (with --assign)."),
             QStringLiteral("KOHM")) {
  for (const QCommandLineOption* option : {&assign_, &rate_, &report_, &prewarning_, &alarm_}) {
    parser.addOption(*option);
  }
}

QString AssignCommand::StrayOption() const {
  if (Asked()) return {};
  for (const QCommandLineOption* option : {&rate_, &report_, &prewarning_, &alarm_}) {
    if (parser_.isSet(*option)) {
      return QCoreApplication::translate("dornvel::AssignCommand", "--%1 needs --assign.").arg(option->names().first());
    }
  }
  return {};
}

int AssignCommand::Run() const {
  const auto id = WholeNumber(parser_.value(assign_));
  const auto rate = WholeNumber(parser_.value(rate_));
  if (!parser_.isSet(rate_))
    return Refuse(QCoreApplication::translate("dornvel::AssignCommand", "--assign needs --rate."));
  if (!id || !rate || !meter::IsSlaveId(*id) || !meter::IsRate(*rate)) {
    Commissioning refused;
    refused.outcome = CommissioningOutcome::BadTarget;
    return Refuse(CommissioningMessage(refused));
  }
  const auto prewarning = Threshold(parser_, prewarning_);
  const auto alarm = Threshold(parser_, alarm_);
  if (!prewarning || !alarm)
    return Refuse(QCoreApplication::translate("dornvel::AssignCommand", "A threshold must be a number of kilohms."));
  const auto port = CommandLinePort(parser_.value(port_));
  if (!port) return kBadArgument;
  std::optional<CsvRecorder> report;
  if (parser_.isSet(report_)) {
    report.emplace(parser_.value(report_).toStdString(), kCommaCsv,
                   std::vector<std::string>(std::begin(kCommissioningColumns), std::end(kCommissioningColumns)));
    if (!report->Ok()) {
      return Refuse(QCoreApplication::translate("dornvel::AssignCommand", "Cannot write the report %1: %2")
                        .arg(parser_.value(report_), QString::fromStdString(report->Failure())));
    }
  }

  SteadyClock clock;
  QtEventPump pump;
  QtSerialControl serial;
  serial.SetCommPort(*port);
  Line line(serial);
  const auto hold = line.Take("assign");
  CommissioningHooks hooks;
  hooks.onStep = [](CommissioningStep step) { std::cerr << StepText(step).toStdString() << '\n'; };
  const Commissioning result = Commission(*hold, {pump, clock}, {*id, *rate}, hooks);

  const CommissioningRow row = RowOf(result, std::chrono::system_clock::now(), {*prewarning, *alarm});
  std::cout << CommissioningCsvRow(row) << std::endl;
  if (!row.message.empty()) std::cerr << row.message << '\n';
  if (report && !report->Record(CommissioningCsvRow(row, report->Form()))) {
    std::cerr << QCoreApplication::translate("dornvel::AssignCommand", "Cannot write the report %1: %2")
                     .arg(parser_.value(report_), QString::fromStdString(report->Failure()))
                     .toStdString()
              << '\n';
  }
  return ExitStatusOf(result);
}

}  // namespace dornvel
