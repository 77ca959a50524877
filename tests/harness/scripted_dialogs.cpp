#include "harness/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace dornvel::testing {

ScriptedDialogs::~ScriptedDialogs() {
  for (const QString& answer : answers_) ADD_FAILURE() << "answer never asked for: " << answer.toStdString();
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
