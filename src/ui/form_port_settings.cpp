#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <string>

#include "protocol/line.h"
#include "protocol/meter_model.h"
#include "protocol/numeric_text.h"
#include "protocol/serial_control.h"
#include "tags/mb_collection.h"
#include "ui/dialogs.h"
#include "ui/form_main.h"
#include "ui/number_question.h"
#include "ui/port_entry.h"

namespace dornvel {

namespace {

// Every line setting made here: no parity, 8 data bits, 2 stop bits.
const QString kFraming = QStringLiteral(",N,8,2");
// The highest port number the serial control takes.
constexpr double kHighestPortNumber = 32767;

bool IsOfferedRate(const QString& text) {
  bool number = false;
  const int rate = text.toInt(&number);
  return number && QString::number(rate) == text && meter::IsRate(rate);
}

// What tells one device from another on the computer's side.
struct AddressedDevice {
  int port;
  std::string settings;
  int slave;
  bool operator==(const AddressedDevice&) const = default;
};

AddressedDevice DeviceAddressed(const SerialControl& comm, const MBCollection* tags) {
  const int slave = tags && tags->Count() > 0 ? tags->Item(1).Slave : -1;
  return {comm.CommPort(), comm.Settings(), slave};
}

}  // namespace

void FormMain::ProgCom_Click() {
  awaitedPort_.reset();
  const AddressedDevice before = DeviceAddressed(*comm_, Tags());
  if (comm_->PortOpen()) comm_->SetPortOpen(false);
  const auto number = PortNumberOf(progCom_->currentText());
  const double port = number ? RoundHalfEven(*number) : kNoPort;
  // Port 0, or a number no port can carry, chooses none: no later transaction
  // may open a port the user did not choose.
  if (port >= 1 && port <= kHighestPortNumber && comm_->SetCommPort(static_cast<int>(port))) {
    comm_->SetSettings((RateForNewPort() + kFraming).toStdString());
    comm_->SetPortOpen(true);
  } else {
    comm_->SetCommPort(kNoPort);
  }
  if (DeviceAddressed(*comm_, Tags()) != before) ForgetDeviceValues();
  ShowPortProblem();
  if (!number) dialogs_.MsgBox(QStringLiteral("Comm Port не выбран!"));
}

// The rate the baud-rate list shows, so that a new port does not fall back to
// 9600 behind the user's back; 9600 while the list shows no offered rate.
QString FormMain::RateForNewPort() const {
  const QString shown = progBoudRate_->currentText();
  return IsOfferedRate(shown) ? shown : QStringLiteral("9600");
}

// A text that is no offered rate reopens the port with the settings it had.
void FormMain::ProgBoudRate_Click() {
  const AddressedDevice before = DeviceAddressed(*comm_, Tags());
  if (comm_->PortOpen()) comm_->SetPortOpen(false);
  const QString shown = progBoudRate_->currentText();
  if (IsOfferedRate(shown)) comm_->SetSettings((shown + kFraming).toStdString());
  comm_->SetPortOpen(true);
  if (DeviceAddressed(*comm_, Tags()) != before) ForgetDeviceValues();
  ShowPortProblem();
}

void FormMain::ProgSlave_Click() { ApplySlaveId(Ask(dialogs_, kSlaveIdQuestion, progSlave_->text())); }

void FormMain::EnterSlaveId(const QString& answer) { ApplySlaveId(Check(dialogs_, kSlaveIdQuestion, answer)); }

void FormMain::ChoosePort(const QString& entry) {
  const int index = progCom_->findText(entry, Qt::MatchFixedString);
  if (index >= 0) {
    progCom_->setCurrentIndex(index);
  } else {
    progCom_->setEditText(entry);
  }
  ProgCom_Click();
}

void FormMain::ChooseRate(const QString& rate) {
  progBoudRate_->setCurrentIndex(progBoudRate_->findText(rate, Qt::MatchExactly | Qt::MatchCaseSensitive));
  ProgBoudRate_Click();
}

void FormMain::ApplySlaveId(const std::optional<NumberAnswer>& answer) {
  if (!answer || !session_) return;
  const AddressedDevice before = DeviceAddressed(*comm_, Tags());
  const std::uint8_t slave = *ToByte(answer->value);
  for (MBData& tag : *Tags()) tag.Slave = slave;
  progSlave_->setText(answer->text);
  if (DeviceAddressed(*comm_, Tags()) != before) ForgetDeviceValues();
}

// What was read from one device says nothing of another: every tag reads its
// device afresh, and a value entered for the old device is not written to the
// new one.
void FormMain::ForgetDeviceValues() {
  if (!session_) return;
  for (MBData& tag : *Tags()) tag.ForgetValue();
  line_->NoteInStep();
  for (QLineEdit* box : valueBoxes_) {
    box->clear();
    box->setToolTip(QString());
    SetBackground(box, false);
  }
}

// The reason the port did not open, where a user started from the desktop
// menu can see it (nothing when it is open).
void FormMain::ShowPortProblem() {
  const QString why =
      awaitedPort_ ? QCoreApplication::translate(
                         "dornvel::FormMain", "%1, the port last used, is not there: %2. It is used as soon as it is.")
                         .arg(PortEntry(awaitedPort_->number), awaitedPort_->why)
                   : QString::fromStdString(comm_->OpenFailure());
  progCom_->setToolTip(why);
  Panel(4)->setToolTip(why);
}

// Ports that came since start-up join the list in number order and ports that
// went leave it, the chosen one excepted. Nothing is opened or closed for it.
void FormMain::RefreshPortList() {
  const QSignalBlocker quiet(progCom_);
  const QString shownText = progCom_->currentText();
  const QString chosen = progCom_->currentIndex() >= 0 ? progCom_->itemText(progCom_->currentIndex()) : QString();

  for (int i = progCom_->count() - 1; i >= 0; --i) {
    const QString entry = progCom_->itemText(i);
    const auto number = PortNumberOf(entry);
    if (entry != chosen && (!number || !comm_->PortPresent(static_cast<int>(*number)))) progCom_->removeItem(i);
  }
  for (int n = kFirstPort; n <= kLastPort; ++n) {
    const QString entry = PortEntry(n);
    if (progCom_->findText(entry) >= 0 || !comm_->PortPresent(n)) continue;
    int position = 0;
    while (position < progCom_->count() && PortNumberOf(progCom_->itemText(position)).value_or(0) < n) ++position;
    progCom_->insertItem(position, entry);
  }

  // An empty list chooses its first entry when one is added: the choice stays
  // the user's.
  progCom_->setCurrentIndex(chosen.isNull() ? -1 : progCom_->findText(chosen));
  progCom_->setEditText(shownText);
}

}  // namespace dornvel
