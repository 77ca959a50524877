#include <QComboBox>
#include <QLineEdit>

#include <cmath>

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

bool IsOfferedRate(const QString& text) { return text == QLatin1String("9600") || text == QLatin1String("19200"); }

}  // namespace

void FormMain::ProgCom_Click() {
  if (comm_->PortOpen()) comm_->SetPortOpen(false);
  const auto number = PortNumberOf(progCom_->currentText());
  if (!number) {
    dialogs_.MsgBox(QStringLiteral("Comm Port не выбран!"));
    return;
  }
  const double port = RoundHalfEven(*number);
  // Port 0 means none; a number no port can carry leaves the port closed as well.
  if (port == 0 || std::fabs(port) > 32767 || !comm_->SetCommPort(static_cast<int>(port))) return;
  comm_->SetSettings((RateForNewPort() + kFraming).toStdString());
  comm_->SetPortOpen(true);
}

// The rate the baud-rate list shows, so that a new port does not fall back to
// 9600 behind the user's back; 9600 while the list shows no offered rate.
QString FormMain::RateForNewPort() const {
  const QString shown = progBoudRate_->currentText();
  return IsOfferedRate(shown) ? shown : QStringLiteral("9600");
}

// A text that is no offered rate reopens the port with the settings it had.
void FormMain::ProgBoudRate_Click() {
  if (comm_->PortOpen()) comm_->SetPortOpen(false);
  const QString shown = progBoudRate_->currentText();
  if (IsOfferedRate(shown)) comm_->SetSettings((shown + kFraming).toStdString());
  comm_->SetPortOpen(true);
}

void FormMain::ProgSlave_Click() {
  const auto answer = Ask(dialogs_, kSlaveIdQuestion, progSlave_->text());
  if (!answer || !tags_) return;
  const std::uint8_t slave = *ToByte(answer->value);
  for (MBData& tag : *tags_) tag.Slave = slave;
  progSlave_->setText(answer->text);
}

}  // namespace dornvel
