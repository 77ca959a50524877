#pragma once

#include <QString>

#include "ui/dialogs.h"

namespace dornvel {

// The input box and the message box as Qt dialogs, over the active window.
class QtDialogs final : public Dialogs {
 public:
  explicit QtDialogs(const QString& applicationTitle) : applicationTitle_(applicationTitle) {}

  QString InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
  void MsgBox(const QString& message) override;

 private:
  QString applicationTitle_;
};

}  // namespace dornvel
