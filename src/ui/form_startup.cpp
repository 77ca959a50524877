#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include "protocol/line.h"
#include "protocol/meter_model.h"
#include "protocol/numeric_text.h"
#include "protocol/serial_control.h"
#include "tags/mb_collection.h"
#include "ui/device_tags.h"
#include "ui/form_main.h"
#include "ui/number_question.h"
#include "ui/port_entry.h"
#include "ui/settings_store.h"

namespace dornvel {

namespace {

const QString kSection = QStringLiteral("Properties");
const QString kComPortKey = QStringLiteral("ComPort");
const QString kBaudRateKey = QStringLiteral("BoudRate");
const QString kSlaveKey = QStringLiteral("Slave");

constexpr int kPollingIntervalMs = 1000;

struct SlaveSetting {
  QString text;
  std::uint8_t slave;
};

// A stored slave id that is no slave id the input box would take (text typed
// into the box and saved, 0 that every device on the line obeys) counts as none
// stored.
SlaveSetting RestoredSlave(SettingsStore& settings) {
  const QString saved = settings.GetSetting(kSection, kSlaveKey, QStringLiteral("1"));
  if (const auto number = ParseNumber(saved.toStdString()); number && meter::IsSlaveId(*number)) {
    return {saved, *ToByte(*number)};
  }
  return {QStringLiteral("1"), 1};
}

// The port a saved "ComPort" names when it is one of the list's entries;
// none for the default and any other text.
std::optional<int> SavedPort(const QString& saved) {
  for (int n = kFirstPort; n <= kLastPort; ++n) {
    if (saved == PortEntry(n)) return n;
  }
  return std::nullopt;
}

}  // namespace

void FormMain::Form_Load() {
  const QString savedPort = settings_.GetSetting(kSection, kComPortKey, QStringLiteral("1"));
  ScanPorts();
  if (const auto saved = SavedPort(savedPort);
      saved && progCom_->findText(savedPort, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
    AwaitSavedPort(*saved);
  } else if (progCom_->count() > 0) {
    Select(progCom_, 0, &FormMain::ProgCom_Click);
    SelectSaved(progCom_, savedPort, &FormMain::ProgCom_Click);
  }

  const QString savedRate = settings_.GetSetting(kSection, kBaudRateKey, QStringLiteral("9600"));
  for (const int rate : meter::kRates) progBoudRate_->addItem(QString::number(rate));
  Select(progBoudRate_, 0, &FormMain::ProgBoudRate_Click);
  SelectSaved(progBoudRate_, savedRate, &FormMain::ProgBoudRate_Click);

  const SlaveSetting slave = RestoredSlave(settings_);
  progSlave_->setText(slave.text);
  session_ = std::make_unique<MeterSession>(services_, *line_, slave.slave, this);

  ShowPortProblem();
  timer1_->start(kPollingIntervalMs);
  show();
}

// A port is there when it opens now; one that is missing or held by another
// program gives no entry. The port is left closed, and none is chosen until an
// entry of the list is: the last port probed is no choice of the user's.
void FormMain::ScanPorts() {
  for (int n = kFirstPort; n <= kLastPort; ++n) {
    comm_->SetPortOpen(false);
    comm_->SetCommPort(n);
    comm_->SetSettings("9600,N,8,1");
    comm_->SetPortOpen(true);
    if (comm_->PortOpen()) progCom_->addItem(PortEntry(n));
  }
  comm_->SetPortOpen(false);
  comm_->SetCommPort(kNoPort);
}

// The user's port is theirs even while its adapter is unplugged: another port
// is not chosen in its place, its name stays to be saved again, and it is used
// as soon as it is there.
void FormMain::AwaitSavedPort(int number) {
  comm_->SetCommPort(number);
  comm_->SetPortOpen(true);
  const QString why = QString::fromStdString(comm_->OpenFailure());
  comm_->SetPortOpen(false);
  comm_->SetCommPort(kNoPort);
  awaitedPort_ = AwaitedPort{number, why};
  progCom_->setCurrentIndex(-1);
  progCom_->setEditText(PortEntry(number));
}

void FormMain::UseAwaitedPortOnceThere() {
  if (!awaitedPort_ || !comm_->PortPresent(awaitedPort_->number)) return;
  const QString entry = PortEntry(awaitedPort_->number);
  RefreshPortList();
  SelectSaved(progCom_, entry, &FormMain::ProgCom_Click);
}

void FormMain::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  settings_.SaveSetting(kSection, kComPortKey, progCom_->currentText());
  settings_.SaveSetting(kSection, kBaudRateKey, progBoudRate_->currentText());
  settings_.SaveSetting(kSection, kSlaveKey, progSlave_->text());
  settings_.Commit();  // a failure is the store's to report; closing goes on

  timer1_->stop();
  // Ends the waits of an exchange that this close interrupts; the tick it belongs
  // to stops after that tag and releases the tags itself.
  comm_->SetPortOpen(false);
  if (!tickRunning_) session_.reset();
}

}  // namespace dornvel
