#include "ui/number_question.h"

#include "protocol/meter_model.h"
#include "protocol/numeric_text.h"
#include "ui/dialogs.h"

namespace dornvel {

const NumberQuestion kSlaveIdQuestion{"Enter new SlaveId (1..247)", "SlaveID", meter::IsSlaveId, "invalid SlaveID"};

const NumberQuestion kBaudRateQuestion{"Enter new BoudRate (9600,19200)", "Boud Rate", meter::IsRate,
                                       "invalid BoudRate"};

std::optional<NumberAnswer> Ask(Dialogs& dialogs, const NumberQuestion& question, const QString& defaultAnswer) {
  return Check(dialogs, question,
               dialogs.InputBox(QString::fromUtf8(question.prompt), QString::fromUtf8(question.title), defaultAnswer));
}

std::optional<NumberAnswer> Check(Dialogs& dialogs, const NumberQuestion& question, const QString& answer) {
  if (answer.isEmpty()) return std::nullopt;
  const auto value = ParseNumber(answer.toStdString());
  if (!value || !question.accepts(*value)) {
    dialogs.MsgBox(QString::fromUtf8(question.refusal));
    return std::nullopt;
  }
  return NumberAnswer{answer, *value};
}

}  // namespace dornvel
