#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace dornvel {

QString QtDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) {
  bool accepted = false;
  const QString answer =
      QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal, defaultAnswer, &accepted);
  return accepted ? answer : QString();
}

void QtDialogs::MsgBox(const QString& message) {
  QMessageBox box(QMessageBox::NoIcon, applicationTitle_, message, QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

}  // namespace dornvel
