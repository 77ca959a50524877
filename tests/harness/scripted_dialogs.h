#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "ui/dialogs.h"
#include "ui/yes_no_question.h"

namespace dornvel::testing {

// Input boxes and yes/no questions answered from a script, message boxes
// noted. An answer left over, or a question without an answer, fails the test.
class ScriptedDialogs : public Dialogs, public YesNoQuestion {
 public:
  struct Question {
    QString prompt;
    QString title;
    QString defaultAnswer;
  };

  ~ScriptedDialogs() override;

  void Answer(const QString& answer) { answers_.push_back(answer); }
  void AnswerYes(bool yes) { yesNo_.push_back(yes); }

  QString InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
  void MsgBox(const QString& message) override {
    messages.push_back(message);
    if (whileTelling) whileTelling();
  }
  bool Ask(const QString& question) override;

  std::vector<Question> questions;
  std::vector<QString> messages;
  std::vector<QString> yesNoQuestions;
  // Run while an input box, or a message box, is open, as the window's events
  // are (a message read for a while: an event loop of its own).
  std::function<void()> whileAsking;
  std::function<void()> whileTelling;

 private:
  std::deque<QString> answers_;
  std::deque<bool> yesNo_;
};

}  // namespace dornvel::testing
