#include "ui/form_main.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "protocol/line.h"
#include "protocol/serial_control.h"
#include "tags/mb_collection.h"
#include "ui/click_filter.h"

namespace dornvel {

FormMain::FormMain(ProtocolServices services, const SerialControlFactory& makeSerialControl, SettingsStore& settings,
                   Dialogs& dialogs)
    : services_(services),
      settings_(settings),
      dialogs_(dialogs),
      makeSerialControl_(makeSerialControl),
      comm_(makeSerialControl_(this)),
      line_(std::make_unique<Line>(*comm_)) {
  BuildControls();
  ConnectHandlers();
}

FormMain::~FormMain() = default;

void FormMain::ConnectHandlers() {
  connect(timer1_, &QTimer::timeout, this, &FormMain::Timer1_Timer);
  // `activated` comes only from the user, also for the entry already chosen;
  // start-up runs the handlers through Select.
  connect(progCom_, &QComboBox::activated, this, &FormMain::ProgCom_Click);
  connect(progBoudRate_, &QComboBox::activated, this, &FormMain::ProgBoudRate_Click);
  new ClickFilter(progSlave_, [this] { ProgSlave_Click(); });
  new ClickFilter(findChild<QLineEdit*>(QStringLiteral("slaveid")), [this] { slaveid_Click(); });
  new ClickFilter(findChild<QLineEdit*>(QStringLiteral("Boudrate")), [this] { Boudrate_Click(); });
}

void FormMain::Select(QComboBox* list, int index, void (FormMain::*onClick)()) {
  list->setCurrentIndex(index);
  (this->*onClick)();
}

void FormMain::SelectSaved(QComboBox* list, const QString& saved, void (FormMain::*onClick)()) {
  const int index = list->findText(saved, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) Select(list, index, onClick);
}

QLabel* FormMain::Panel(int number) const { return panels_.at(number - 1); }

// No operation holds the port through this flag: exchanges keep apart through the
// line's own ownership, so it stays false.
bool FormMain::CommBusy() const { return false; }

std::string FormMain::ErrorCountText() const { return Panel(3)->text().toStdString(); }

void FormMain::SetErrorCountText(const std::string& text) { Panel(3)->setText(QString::fromStdString(text)); }

void FormMain::SetMessageText(const std::string& text) {
  const QString message = QString::fromStdString(text);
  Panel(4)->setText(message);
}

void FormMain::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();  // closing cannot be refused
}

}  // namespace dornvel
