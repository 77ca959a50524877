#pragma once

#include <QString>

#include <deque>
#include <functional>
#include <vector>

#include "ui/dialogs.h"

namespace dornvel::testing {

// Input boxes answered from a script, message boxes noted. An answer left over,
// or a question without an answer, fails the test.
class ScriptedDialogs : public Dialogs {
 public:
  struct Question {
    QString prompt;
    QString title;
    QString defaultAnswer;
  };

  ~ScriptedDialogs() override;

  void Answer(const QString& answer) { answers_.push_back(answer); }

  QString InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
  void MsgBox(const QString& message) override { messages.push_back(message); }

  std::vector<Question> questions;
  std::vector<QString> messages;
  // Runs while an input box is open, as the window's events do.
  std::function<void()> whileAsking;

 private:
  std::deque<QString> answers_;
};

}  // namespace dornvel::testing
