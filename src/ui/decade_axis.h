#pragma once

#include <QString>
#include <optional>

QT_BEGIN_NAMESPACE
class QCategoryAxis;
QT_END_NAMESPACE

namespace dornvel {

// The resistance on a logarithmic scale: values are drawn at the decimal
// logarithm of their kilohms on a category axis labelled at whole decades in
// ohms with their prefixes (1 kΩ, 10 MΩ), never more than a few labels, over
// any range. A short circuit reads 0 kΩ, which no logarithmic scale holds:
// values at or below zero are drawn on a floor a decade below the lowest
// positive one, labelled "≤ 0", so they are neither lost nor taken for gaps.
class DecadeAxis {
 public:
  // `axis` is the chart's; this only sets its range and labels.
  explicit DecadeAxis(QCategoryAxis* axis) : axis_(axis) {}

  // Fits the axis to the values: the lowest above zero (none when no value is),
  // the highest, and whether any is at or below zero.
  void Fit(std::optional<double> lowestPositive, double highest, bool atOrBelowZero);
  // Where a value of `kohm` is drawn.
  double Y(double kohm) const;

  // The label of the decade 10^exponent kΩ: "1 Ω" for -3, "100 kΩ" for 2.
  static QString Label(int exponent);

 private:
  QCategoryAxis* axis_;
  int floorExponent_ = -3;
  // What the labels were made for: they are made anew only when it changes.
  struct Fitted {
    int bottom;
    int top;
    int every;
    friend bool operator==(const Fitted&, const Fitted&) = default;
  };
  std::optional<Fitted> fitted_;
};

}  // namespace dornvel
