#include "app/meter_list.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

namespace dornvel {

namespace {

constexpr int kDefaultRate = 9600;

std::optional<int> SlaveId(const QString& text) {
  bool ok = false;
  const int id = text.toInt(&ok);
  // toInt takes signs and blanks; an id is digits only.
  if (!ok || text.isEmpty() || !std::ranges::all_of(text, [](QChar c) { return c.isDigit(); })) return std::nullopt;
  if (!meter::IsSlaveId(id)) return std::nullopt;
  return id;
}

}  // namespace

MeterList ParseMeterList(const QString& text) {
  MeterList list;
  const auto refuse = [&list](const QString& why) {
    list.meters.clear();
    list.refusal = why;
    return list;
  };
  if (text.isEmpty()) return refuse(QCoreApplication::translate("dornvel::MeterList", "the list of meters is empty"));
  for (const QString& item : text.split(QLatin1Char(','))) {
    if (item.isEmpty())
      return refuse(QCoreApplication::translate("dornvel::MeterList", "an empty item in the list of meters"));
    const QStringList idsAndRate = item.split(QLatin1Char('@'));
    int rate = kDefaultRate;
    if (idsAndRate.size() > 2)
      return refuse(QCoreApplication::translate("dornvel::MeterList", "'%1' has more than one rate").arg(item));
    if (idsAndRate.size() == 2) {
      bool ok = false;
      rate = idsAndRate[1].toInt(&ok);
      if (!ok || !meter::IsRate(rate))
        return refuse(QCoreApplication::translate("dornvel::MeterList", "'%1': the rate is 9600 or 19200").arg(item));
    }
    const QStringList ends = idsAndRate[0].split(QLatin1Char('-'));
    const auto first = SlaveId(ends[0]);
    const auto last = ends.size() == 2 ? SlaveId(ends[1]) : first;
    if (ends.size() > 2 || !first || !last) {
      return refuse(QCoreApplication::translate(
                        "dornvel::MeterList", "'%1': a slave id is a number from 1 to 247, a range two of them (10-20)")
                        .arg(item));
    }
    if (*last < *first)
      return refuse(QCoreApplication::translate("dornvel::MeterList", "'%1': the range runs backwards").arg(item));
    for (int id = *first; id <= *last; ++id) {
      const MeterAddress meter{id, rate};
      if (std::ranges::find(list.meters, meter) != list.meters.end()) {
        return refuse(QCoreApplication::translate("dornvel::MeterList", "slave id %1 at %2 baud is listed twice")
                          .arg(id)
                          .arg(rate));
      }
      list.meters.push_back(meter);
    }
  }
  return list;
}

}  // namespace dornvel
