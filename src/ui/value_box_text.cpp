#include "ui/value_box_text.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionFrame>

namespace dornvel {

namespace {

// QLineEdit keeps this many pixels free on either side of its text.
constexpr int kLineEditTextMargin = 2;
// Digits after the point of the longest scientific form tried.
constexpr int kMostFractionDigits = 8;

// The width the box gives its text, worked out as QLineEdit does.
int TextRoom(const QLineEdit& box) {
  QStyleOptionFrame option;
  option.initFrom(&box);
  option.rect = box.contentsRect();
  option.lineWidth = box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box) : 0;
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken;
  const QRect contents =
      box.style()->subElementRect(QStyle::SE_LineEditContents, &option, &box).marginsRemoved(box.textMargins());
  return contents.width() - 2 * kLineEditTextMargin;
}

// 1.2346E8: the exponent without its plus sign and leading zeros, which
// would take the room of two digits of the number.
QString Scientific(double number, int fractionDigits) {
  QString text = QString::number(number, 'E', fractionDigits);
  static const QRegularExpression kPaddedExponent(QStringLiteral("E\\+?(-?)0*(\\d)"));
  return text.replace(kPaddedExponent, QStringLiteral("E\\1\\2"));
}

}  // namespace

void ShowValueText(QLineEdit& box, const QString& exact) {
  // The value the box shows already, as this function left it, is not measured
  // again (the box keeps its room and font); the text is set anew all the
  // same, which puts the cursor back where a new value puts it.
  const bool shortened = !box.toolTip().isEmpty();
  if (!box.isModified() && (shortened ? box.toolTip() : box.text()) == exact) {
    box.setText(box.text());
    if (shortened) box.setCursorPosition(0);
    return;
  }
  const int room = TextRoom(box);
  const auto fits = [&](const QString& text) { return box.fontMetrics().horizontalAdvance(text) <= room; };
  bool isNumber = false;
  const double number = exact.toDouble(&isNumber);
  if (fits(exact) || !isNumber) {
    box.setText(exact);
    box.setToolTip(QString());
    return;
  }
  QString shorter;
  for (int digits = kMostFractionDigits; digits >= 0; --digits) {
    shorter = Scientific(number, digits);
    if (fits(shorter)) break;
  }
  box.setText(shorter);
  box.setCursorPosition(0);
  box.setToolTip(exact);
}

}  // namespace dornvel
