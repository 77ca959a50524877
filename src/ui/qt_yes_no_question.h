#pragma once

#include <QString>

#include "ui/yes_no_question.h"

namespace dornvel {

// The question as a Qt message box with Yes and No, over the active window.
class QtYesNoQuestion final : public YesNoQuestion {
 public:
  explicit QtYesNoQuestion(const QString& applicationTitle) : applicationTitle_(applicationTitle) {}

  bool Ask(const QString& question) override;

 private:
  QString applicationTitle_;
};

}  // namespace dornvel
