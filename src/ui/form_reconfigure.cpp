#include "protocol/numeric_text.h"
#include "tags/mb_collection.h"
#include "ui/form_main.h"
#include "ui/number_question.h"

namespace dornvel {

namespace {

// The device's own slave id and baud rate, as the boxes slaveid and Boudrate show them.
constexpr char kDeviceSlaveIdKey[] = "slaveid";
constexpr char kDeviceBaudRateKey[] = "boudrate";

}  // namespace

void FormMain::slaveid_Click() { Reconfigure(kDeviceSlaveIdKey, kSlaveIdQuestion); }

void FormMain::Boudrate_Click() { Reconfigure(kDeviceBaudRateKey, kBaudRateQuestion); }

// The new value becomes the tag's value, and the tag's next refresh writes it.
void FormMain::Reconfigure(const char* tagKey, const NumberQuestion& question) {
  if (!session_) return;
  try {
    const auto answer = Ask(dialogs_, question, QString::fromStdString(Tags()->Item(tagKey).Data().ToText()));
    // The tags went while the box was open: the window has closed.
    if (!answer || !session_) return;
    MBData& tag = Tags()->Item(tagKey);
    // An integer tag shows what it will write: the whole number.
    tag.SetData(tag.DataType == IntegerType ? RoundHalfEven(answer->value) : answer->value);
  } catch (const NoSuchTag&) {
    // A registry without the tag has nothing to re-configure.
  }
}

}  // namespace dornvel
