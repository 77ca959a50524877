#pragma once

#include <QString>
#include <vector>

#include "protocol/meter_model.h"

namespace dornvel {

// The meters of a --meters list, or why the list is refused.
struct MeterList {
  std::vector<MeterAddress> meters;
  QString refusal;  // empty when the list was taken
};

// "3,7,41,200@19200,10-20@9600": slave ids (1 to 247) and ranges of them, each
// at 9600 baud unless "@19200" (or "@9600") follows it; in the order given.
// Refused: an empty list or item, an id or rate that is not one, a range
// that runs backwards, and a meter named twice.
MeterList ParseMeterList(const QString& text);

}  // namespace dornvel
