#include "ui/meter_search_dialog.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "protocol/line.h"
#include "protocol/serial_control.h"
#include "ui/dialogs.h"
#include "ui/yes_no_question.h"

namespace dornvel {

namespace {

QString PortName(const SerialControl& port) { return QStringLiteral("Com%1").arg(port.CommPort()); }

QString ProgressText(const SearchProgress& progress) {
  return QCoreApplication::translate("dornvel::MeterSearchDialog", "Slave id %1 at %2 baud (%3 of %4)")
      .arg(progress.probed.slave)
      .arg(progress.probed.baudRate)
      .arg(progress.number)
      .arg(kSearchProbes);
}

}  // namespace

MeterSearchDialog::MeterSearchDialog(QWidget* parent)
    : progress_(std::make_unique<QProgressDialog>(
          QCoreApplication::translate("dornvel::MeterSearchDialog", "Asking every slave id at both rates…"),
          QCoreApplication::translate("dornvel::MeterSearchDialog", "Cancel"), 0, kSearchProbes, parent)) {
  progress_->setWindowTitle(QCoreApplication::translate("dornvel::MeterSearchDialog", "Find the meter"));
  progress_->setWindowModality(Qt::WindowModal);
  progress_->setMinimumDuration(0);
  progress_->setAutoClose(false);
  progress_->setAutoReset(false);
  // The Cancel button marks the dialog as cancelled; Escape only rejects it.
  QObject::connect(progress_.get(), &QProgressDialog::rejected, [this] { rejected_ = true; });
  progress_->show();
}

MeterSearchDialog::~MeterSearchDialog() = default;

void MeterSearchDialog::ShowWaitingForPoll() {
  progress_->setLabelText(
      QCoreApplication::translate("dornvel::MeterSearchDialog", "Waiting for the running poll to finish…"));
}

bool MeterSearchDialog::Cancelled() const { return rejected_ || progress_->wasCanceled(); }

SearchResult MeterSearchDialog::Run(Line& line, ProtocolServices services, MeterAddress shown) {
  progress_->setLabelText(
      QCoreApplication::translate("dornvel::MeterSearchDialog", "Asking every slave id at both rates…"));
  SearchHooks hooks;
  hooks.onProbe = [this](const SearchProgress& probe) {
    progress_->setLabelText(ProgressText(probe));
    progress_->setValue(probe.number);
  };
  hooks.cancelled = [this] { return Cancelled(); };
  const SearchResult result = SearchForMeter(line, services, shown, hooks);
  progress_->hide();
  return result;
}

std::optional<MeterAddress> AskToUse(const SearchResult& result, const SerialControl& port, Dialogs& dialogs,
                                     YesNoQuestion& question) {
  switch (result.outcome) {
    case SearchOutcome::Found: {
      const MeterAddress meter = *result.meter;
      if (question.Ask(QCoreApplication::translate("dornvel::MeterSearchDialog",
                                                   "Meter found: slave id %1 at %2 baud. Use these settings?")
                           .arg(meter.slave)
                           .arg(meter.baudRate))) {
        return meter;
      }
      break;
    }
    case SearchOutcome::NothingFound:
      dialogs.MsgBox(
          QCoreApplication::translate("dornvel::MeterSearchDialog",
                                      "No meter answered on %1: slave ids %2 to %3 were asked at %4 and %5 baud.")
              .arg(PortName(port))
              .arg(meter::kFirstSlaveId)
              .arg(meter::kLastSlaveId)
              .arg(meter::kRates[0])
              .arg(meter::kRates[1]));
      break;
    case SearchOutcome::PortUnavailable: {
      // The port was put back as it was: any reason left is the last opening's.
      const QString why = QString::fromStdString(port.OpenFailure());
      dialogs.MsgBox(why.isEmpty()
                         ? QCoreApplication::translate("dornvel::MeterSearchDialog", "%1 was lost during the search.")
                               .arg(PortName(port))
                         : why);
      break;
    }
    case SearchOutcome::PortBusy:
      dialogs.MsgBox(
          QCoreApplication::translate("dornvel::MeterSearchDialog", "%1 is busy with an exchange; try again.")
              .arg(PortName(port)));
      break;
    case SearchOutcome::Cancelled: break;
  }
  return std::nullopt;
}

}  // namespace dornvel
