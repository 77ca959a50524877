#include "ui/decade_axis.h"

#include <QCategoryAxis>
#include <QCoreApplication>
#include <algorithm>
#include <cmath>

#include "readings/axis_scale.h"

namespace dornvel {

namespace {

// Labels a plot a few hundred pixels high holds without crowding.
constexpr int kMostLabels = 7;

// Ohms, with the prefix of each third decade, from 1 Ω (10^-3 kΩ) up.
const char* const kUnits[] = {
    QT_TRANSLATE_NOOP("dornvel::DecadeAxis", "Ω"),  QT_TRANSLATE_NOOP("dornvel::DecadeAxis", "kΩ"),
    QT_TRANSLATE_NOOP("dornvel::DecadeAxis", "MΩ"), QT_TRANSLATE_NOOP("dornvel::DecadeAxis", "GΩ"),
    QT_TRANSLATE_NOOP("dornvel::DecadeAxis", "TΩ"),
};

}  // namespace

QString DecadeAxis::Label(int exponent) {
  const int ohms = exponent + 3;
  const int prefix = ohms >= 0 ? ohms / 3 : -1;
  if (prefix < 0 || prefix >= static_cast<int>(std::size(kUnits))) {
    return QStringLiteral("1e%1 %2").arg(ohms).arg(QCoreApplication::translate("dornvel::DecadeAxis", kUnits[0]));
  }
  const QString digits = QStringLiteral("1") + QString(ohms % 3, u'0');
  return digits + u' ' + QCoreApplication::translate("dornvel::DecadeAxis", kUnits[prefix]);
}

void DecadeAxis::Fit(std::optional<double> lowestPositive, double highest, bool atOrBelowZero) {
  const double low = lowestPositive.value_or(1.0);
  const DecadeScale scale = DecadesOf(low, std::max(highest, low), kMostLabels - (atOrBelowZero ? 1 : 0));
  floorExponent_ = scale.lowExponent - scale.labelEvery;
  const int bottom = atOrBelowZero ? floorExponent_ : scale.lowExponent;
  const Fitted fitted{bottom, scale.highExponent, scale.labelEvery};
  if (fitted_ == fitted) return;
  fitted_ = fitted;

  for (const QString& label : axis_->categoriesLabels()) axis_->remove(label);
  axis_->setStartValue(bottom);
  if (atOrBelowZero) axis_->append(QCoreApplication::translate("dornvel::DecadeAxis", "≤ 0"), floorExponent_);
  for (const int exponent : LabelledDecades(scale)) axis_->append(Label(exponent), exponent);
  axis_->setRange(bottom, scale.highExponent);
}

double DecadeAxis::Y(double kohm) const { return kohm > 0 ? std::log10(kohm) : floorExponent_; }

}  // namespace dornvel
