#pragma once

#include <QString>

namespace dornvel {

// The modal boxes the window asks and tells the user with.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Asks for a text; cancelling gives the empty answer.
  virtual QString InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) = 0;
  // Tells the user something, with an OK button, under the application's title.
  virtual void MsgBox(const QString& message) = 0;
};

}  // namespace dornvel
