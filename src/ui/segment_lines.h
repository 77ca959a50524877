#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <vector>

#include "readings/trend_decimation.h"

QT_BEGIN_NAMESPACE
class QAbstractAxis;
class QChart;
class QLineSeries;
QT_END_NAMESPACE

namespace dornvel {

// The line series that draw one quantity of the trend, one for each stretch
// without a gap: Qt Charts draws a series as one unbroken line. The series are
// kept from one drawing to the next and only refilled, since adding a series to
// a chart costs far more than replacing its points.
class SegmentLines {
 public:
  SegmentLines(QChart* chart, QAbstractAxis* timeAxis, QAbstractAxis* valueAxis, const QString& name,
               const QColor& color);

  // Moves every series from the value axis it has onto `axis`, which the chart
  // already holds; the old axis may go after.
  void SetValueAxis(QAbstractAxis* axis);
  // Draws `segments`; series left over are emptied. A stretch of a single point
  // shows as a dot.
  void Draw(const std::vector<PlotSegment>& segments);
  // The series that draw something, in the order of the stretches.
  QList<QLineSeries*> Drawn() const;

 private:
  QLineSeries* Line(qsizetype index);

  QChart* chart_;
  QAbstractAxis* timeAxis_;
  QAbstractAxis* valueAxis_;
  QString name_;
  QColor color_;
  QList<QLineSeries*> lines_;
  qsizetype drawn_ = 0;
};

}  // namespace dornvel
