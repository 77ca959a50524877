#include "ui/port_entry.h"

#include "protocol/numeric_text.h"

namespace dornvel {

namespace {

constexpr int kPrefixLength = 3;  // "Com"

}  // namespace

QString PortEntry(int number) { return QStringLiteral("Com%1").arg(number); }

std::optional<double> PortNumberOf(const QString& entry) {
  if (entry.size() > kPrefixLength) {
    if (auto number = ParseNumber(entry.right(entry.size() - kPrefixLength).toStdString())) return number;
  }
  if (entry.isEmpty()) return std::nullopt;
  return ParseNumber(entry.right(1).toStdString());
}

}  // namespace dornvel
