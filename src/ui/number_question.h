#pragma once

#include <QString>
#include <optional>

namespace dornvel {

class Dialogs;

// A number the user is asked for in an input box, with the test it must pass and
// the message that refuses it.
struct NumberQuestion {
  const char* prompt;
  const char* title;
  bool (*accepts)(double value);
  const char* refusal;
};

// A slave id, for the computer's requests and for the device itself.
extern const NumberQuestion kSlaveIdQuestion;
// The device's baud rate.
extern const NumberQuestion kBaudRateQuestion;

// An accepted answer: the text as typed and the number it reads as.
struct NumberAnswer {
  QString text;
  double value;
};

// Asks `question` in an input box and checks the answer (below).
std::optional<NumberAnswer> Ask(Dialogs& dialogs, const NumberQuestion& question, const QString& defaultAnswer);

// Takes `answer` to `question` as if typed into its input box. An answer that
// is no number, or a number that fails the test, is refused with the
// question's message; an empty answer (also what cancelling gives) is ignored.
// Either way the result is none.
std::optional<NumberAnswer> Check(Dialogs& dialogs, const NumberQuestion& question, const QString& answer);

}  // namespace dornvel
