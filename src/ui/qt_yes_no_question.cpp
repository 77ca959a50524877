#include "ui/qt_yes_no_question.h"

#include <QApplication>
#include <QMessageBox>

namespace dornvel {

bool QtYesNoQuestion::Ask(const QString& question) {
  QMessageBox box(QMessageBox::Question, applicationTitle_, question, QMessageBox::Yes | QMessageBox::No,
                  QApplication::activeWindow());
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace dornvel
