#pragma once

#include <QString>

namespace dornvel {

// A question the user answers with Yes or No. Kept apart from Dialogs, the
// window's input and message boxes, so that these stay as they are.
class YesNoQuestion {
 public:
  virtual ~YesNoQuestion() = default;
  // True for Yes; closing the question counts as No.
  virtual bool Ask(const QString& question) = 0;
};

}  // namespace dornvel
