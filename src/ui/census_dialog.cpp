#include "ui/census_dialog.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "protocol/line.h"
#include "protocol/serial_control.h"
#include "ui/tool_host.h"

namespace dornvel {

namespace {

QString StateText(const CensusEntry& entry) {
  switch (entry.state) {
    case CensusState::Ok: return QCoreApplication::translate("dornvel::CensusDialog", "OK");
    case CensusState::Exception:
      return QCoreApplication::translate("dornvel::CensusDialog", "exception %1").arg(entry.exceptionCode);
    case CensusState::SuspectedDuplicate:
      return QCoreApplication::translate("dornvel::CensusDialog", "suspected duplicate id");
  }
  return {};
}

QTableWidgetItem* Cell(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

}  // namespace

CensusDialog::CensusDialog(ToolHost& host, QWidget* parent)
    : QDialog(parent),
      host_(host),
      status_(new QLabel(this)),
      progress_(new QProgressBar(this)),
      table_(new QTableWidget(0, 5, this)),
      open_(new QPushButton(QCoreApplication::translate("dornvel::CensusDialog", "Open"), this)),
      watchAll_(new QPushButton(QCoreApplication::translate("dornvel::CensusDialog", "Watch all"), this)),
      cancel_(new QPushButton(QCoreApplication::translate("dornvel::CensusDialog", "Cancel"), this)) {
  setWindowTitle(QCoreApplication::translate("dornvel::CensusDialog", "Meters on the line"));
  setWindowModality(Qt::WindowModal);
  table_->setHorizontalHeaderLabels({QCoreApplication::translate("dornvel::CensusDialog", "Slave id"),
                                     QCoreApplication::translate("dornvel::CensusDialog", "Baud rate"),
                                     QCoreApplication::translate("dornvel::CensusDialog", "Resistance, kΩ"),
                                     QCoreApplication::translate("dornvel::CensusDialog", "Switch"),
                                     QCoreApplication::translate("dornvel::CensusDialog", "State")});
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(open_);
  buttons->addWidget(watchAll_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(status_);
  layout->addWidget(progress_);
  layout->addWidget(table_);
  layout->addLayout(buttons);
  resize(520, 360);

  connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { OpenChosen(); });
  connect(open_, &QPushButton::clicked, this, [this] { OpenChosen(); });
  connect(watchAll_, &QPushButton::clicked, this, [this] {
    if (onWatchAll) onWatchAll(meters_);
  });
  connect(cancel_, &QPushButton::clicked, this, &CensusDialog::reject);
}

void CensusDialog::ShowWaitingForPoll() {
  meters_.clear();
  table_->setRowCount(0);
  progress_->setValue(0);
  cancelled_ = false;
  open_->setEnabled(false);
  watchAll_->setEnabled(false);
  watchAll_->setVisible(static_cast<bool>(onWatchAll));
  cancel_->setText(QCoreApplication::translate("dornvel::CensusDialog", "Cancel"));
  status_->setText(QCoreApplication::translate("dornvel::CensusDialog", "Waiting for the running poll to finish…"));
  show();
  raise();
}

void CensusDialog::Run() {
  if (cancelled_) return;
  running_ = true;
  status_->setText(QCoreApplication::translate("dornvel::CensusDialog", "Asking every slave id at both rates…"));
  CensusHooks hooks;
  hooks.onProbe = [this](MeterAddress probed, int number, int total) {
    progress_->setMaximum(total);
    progress_->setValue(number);
    status_->setText(QCoreApplication::translate("dornvel::CensusDialog", "Slave id %1 at %2 baud (%3 of %4)")
                         .arg(probed.slave)
                         .arg(probed.baudRate)
                         .arg(number)
                         .arg(total));
  };
  hooks.onFound = [this](const CensusEntry& entry) { AddRow(entry); };
  hooks.cancelled = [this] { return cancelled_; };
  const Census census = TakeCensus(host_.CommLine(), host_.Services(), {}, hooks);
  running_ = false;
  Ended(census);
}

void CensusDialog::AddRow(const CensusEntry& entry) {
  meters_.push_back(entry);
  const int row = table_->rowCount();
  table_->insertRow(row);
  const QLocale locale;
  table_->setItem(row, 0, Cell(QString::number(entry.meter.slave)));
  table_->setItem(row, 1, Cell(QString::number(entry.meter.baudRate)));
  table_->setItem(row, 2, Cell(entry.resistanceKohm ? locale.toString(*entry.resistanceKohm) : QString()));
  table_->setItem(row, 3, Cell(entry.switchValue ? QString::number(*entry.switchValue) : QString()));
  table_->setItem(row, 4, Cell(StateText(entry)));
  if (table_->currentRow() < 0) table_->selectRow(0);
}

void CensusDialog::Ended(const Census& census) {
  const QString port = QStringLiteral("Com%1").arg(host_.CommLine().Port().CommPort());
  QString text;
  switch (census.outcome) {
    case CensusOutcome::Done:
    case CensusOutcome::Cancelled:
      text = QCoreApplication::translate("dornvel::CensusDialog", "%1 meter(s) found on %2.")
                 .arg(census.meters.size())
                 .arg(port);
      break;
    case CensusOutcome::PortUnavailable: {
      const QString why = QString::fromStdString(host_.CommLine().Port().OpenFailure());
      text = why.isEmpty()
                 ? QCoreApplication::translate("dornvel::CensusDialog", "%1 was lost during the census.").arg(port)
                 : why;
      break;
    }
    case CensusOutcome::PortBusy:
      text = QCoreApplication::translate("dornvel::CensusDialog", "%1 is busy with an exchange; try again.").arg(port);
      break;
  }
  if (census.bothRates) {
    text += QStringLiteral("\n") +
            QCoreApplication::translate("dornvel::CensusDialog", "Meters at 9600 and at 19200 share this line.");
  }
  status_->setText(text);
  open_->setEnabled(!meters_.empty());
  watchAll_->setEnabled(!meters_.empty());
  cancel_->setText(QCoreApplication::translate("dornvel::CensusDialog", "Close"));
  if (std::exchange(watchAllWhenDone, false) && census.outcome == CensusOutcome::Done && !meters_.empty()) {
    QTimer::singleShot(0, this, [this] {
      if (onWatchAll) onWatchAll(meters_);
    });
  }
}

void CensusDialog::OpenChosen() {
  const int row = table_->currentRow();
  if (running_ || row < 0 || row >= static_cast<int>(meters_.size())) return;
  hide();
  host_.UseMeter(meters_[static_cast<std::size_t>(row)].meter);
}

// Cancel, Escape and the window's close button: the census stops before its
// next request; the dialog goes once it has.
void CensusDialog::reject() {
  cancelled_ = true;
  QDialog::reject();
}

}  // namespace dornvel
