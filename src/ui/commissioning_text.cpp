#include "ui/commissioning_text.h"

#include <QCoreApplication>
#include <QStringList>

namespace dornvel {

namespace {

QString Settings(MeterAddress meter) {
  return QCoreApplication::translate("dornvel::Commissioning", "slave id %1 at %2 baud")
      .arg(meter.slave)
      .arg(meter.baudRate);
}

QString WhichWrite(const std::optional<CommissioningStep>& step) {
  return step == CommissioningStep::WriteRate
             ? QCoreApplication::translate("dornvel::Commissioning", "the baud-rate write")
             : QCoreApplication::translate("dornvel::Commissioning", "the slave-id write");
}

// Where the meter answers after a failure, or that it answers nowhere.
QString WhereItAnswers(const Commissioning& result) {
  if (result.answersNowhere || !result.answersAt) {
    return QCoreApplication::translate("dornvel::Commissioning",
                                       "The meter answers neither at its old nor at its new settings; last known at %1")
        .arg(result.lastKnown ? Settings(*result.lastKnown)
                              : QCoreApplication::translate("dornvel::Commissioning", "no settings"));
  }
  return QCoreApplication::translate("dornvel::Commissioning", "The meter answers at %1")
      .arg(Settings(*result.answersAt));
}

QString FailureText(const Commissioning& result) {
  switch (result.failure) {
    case CommissioningFailure::JumperNotSet:
      return QCoreApplication::translate("dornvel::Commissioning",
                                         "The meter refused %1: set the jumper JP on the meter. %2.")
          .arg(WhichWrite(result.failedStep), WhereItAnswers(result));
    case CommissioningFailure::WriteRefused:
      return QCoreApplication::translate("dornvel::Commissioning", "The meter refused %1 with exception %2. %3.")
          .arg(WhichWrite(result.failedStep))
          .arg(result.exceptionCode)
          .arg(WhereItAnswers(result));
    case CommissioningFailure::ReplyLost:
      return QCoreApplication::translate("dornvel::Commissioning", "The reply to %1 did not come. %2.")
          .arg(WhichWrite(result.failedStep), WhereItAnswers(result));
    case CommissioningFailure::NotAtNewSettings:
      return QCoreApplication::translate("dornvel::Commissioning", "Nothing answers at the new settings. %1.")
          .arg(WhereItAnswers(result));
    case CommissioningFailure::ReadBackDiffers:
      return QCoreApplication::translate("dornvel::Commissioning",
                                         "The slave id and baud rate read back are not the ones written.");
    case CommissioningFailure::PortLost:
      return QCoreApplication::translate("dornvel::Commissioning", "The port closed during %1. %2.")
          .arg(WhichWrite(result.failedStep), WhereItAnswers(result));
    case CommissioningFailure::Cancelled:
      return QCoreApplication::translate("dornvel::Commissioning", "Stopped during %1. %2.")
          .arg(WhichWrite(result.failedStep), WhereItAnswers(result));
    case CommissioningFailure::None: break;
  }
  return {};
}

}  // namespace

QString StepText(CommissioningStep step) {
  switch (step) {
    case CommissioningStep::Find: return QCoreApplication::translate("dornvel::Commissioning", "Finding the meter…");
    case CommissioningStep::LoneMeterCheck:
      return QCoreApplication::translate("dornvel::Commissioning", "Making sure no other meter answers…");
    case CommissioningStep::WriteId:
      return QCoreApplication::translate("dornvel::Commissioning", "Writing the slave id…");
    case CommissioningStep::WriteRate:
      return QCoreApplication::translate("dornvel::Commissioning", "Writing the baud rate…");
    case CommissioningStep::Verify:
      return QCoreApplication::translate("dornvel::Commissioning", "Verifying the new settings…");
    case CommissioningStep::Readings:
      return QCoreApplication::translate("dornvel::Commissioning", "Reading the resistance and the switch…");
  }
  return {};
}

QString VerdictWord(Verdict verdict) {
  switch (verdict) {
    case Verdict::Pass: return QStringLiteral("pass");
    case Verdict::Warning: return QStringLiteral("warning");
    case Verdict::Fail: return QStringLiteral("fail");
    case Verdict::None: break;
  }
  return {};
}

QString CommissioningMessage(const Commissioning& result) {
  switch (result.outcome) {
    case CommissioningOutcome::Verified: {
      QStringList notes;
      for (CommissioningStep step : result.repliesLost) {
        notes << QCoreApplication::translate("dornvel::Commissioning",
                                             "The reply to %1 did not come, but the meter had taken it.")
                     .arg(WhichWrite(step));
      }
      if (!result.resistanceKohm)
        notes << QCoreApplication::translate("dornvel::Commissioning", "The resistance could not be read.");
      return notes.join(QLatin1Char(' '));
    }
    case CommissioningOutcome::NotVerified: return FailureText(result);
    case CommissioningOutcome::NoMeter:
      return QCoreApplication::translate("dornvel::Commissioning", "No meter answers on the line.");
    case CommissioningOutcome::SeveralMeters: {
      QStringList ids;
      for (int id : result.otherIds) ids << QString::number(id);
      return QCoreApplication::translate(
                 "dornvel::Commissioning",
                 "More than one meter answers at %1 baud (also slave ids %2): connect one meter alone. "
                 "Nothing was written.")
          .arg(result.found ? result.found->baudRate : 0)
          .arg(ids.join(QStringLiteral(", ")));
    }
    case CommissioningOutcome::BadTarget:
      return QCoreApplication::translate(
          "dornvel::Commissioning", "The slave id must be 1 to 247 and the baud rate 9600 or 19200. Nothing was sent.");
    case CommissioningOutcome::Cancelled:
      return QCoreApplication::translate("dornvel::Commissioning", "Stopped before anything was written.");
    case CommissioningOutcome::PortUnavailable:
      return QCoreApplication::translate("dornvel::Commissioning",
                                         "The port could not be opened, or closed. Nothing was written.");
  }
  return {};
}

CommissioningRow RowOf(const Commissioning& result, WallTime time, const Thresholds& thresholds) {
  CommissioningRow row;
  row.time = time;
  if (result.found) {
    row.oldSlaveId = result.found->slave;
    row.oldBaudRate = result.found->baudRate;
  }
  row.newSlaveId = result.target.slave;
  row.newBaudRate = result.target.baudRate;
  row.resistanceKohm = result.resistanceKohm;
  row.switchValue = result.switchValue;
  if (result.outcome == CommissioningOutcome::Verified) {
    row.verdict =
        VerdictWord(Judge(result.resistanceKohm, thresholds.prewarningKohm, thresholds.alarmKohm)).toStdString();
  }
  row.message = CommissioningMessage(result).toStdString();
  return row;
}

}  // namespace dornvel
