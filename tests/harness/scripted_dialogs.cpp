#include "harness/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace dornvel::testing {

ScriptedDialogs::~ScriptedDialogs() {
  for (const QString& answer : answers_) ADD_FAILURE() << "answer never asked for: " << answer.toStdString();
  if (!yesNo_.empty()) ADD_FAILURE() << yesNo_.size() << " yes/no answers never asked for";
}

bool ScriptedDialogs::Ask(const QString& question) {
  yesNoQuestions.push_back(question);
  if (yesNo_.empty()) {
    ADD_FAILURE() << "unexpected question: " << question.toStdString();
    return false;
  }
  const bool yes = yesNo_.front();
  yesNo_.pop_front();
  return yes;
}

QString ScriptedDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) {
  questions.push_back({prompt, title, defaultAnswer});
  if (whileAsking) whileAsking();
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
    return QString();
  }
  QString answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace dornvel::testing
