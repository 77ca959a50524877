#include "ui/segment_lines.h"

#include <QAbstractAxis>
#include <QChart>
#include <QLineSeries>
#include <QPen>

namespace dornvel {

SegmentLines::SegmentLines(QChart* chart, QAbstractAxis* timeAxis, QAbstractAxis* valueAxis, const QString& name,
                           const QColor& color)
    : chart_(chart), timeAxis_(timeAxis), valueAxis_(valueAxis), name_(name), color_(color) {}

void SegmentLines::SetValueAxis(QAbstractAxis* axis) {
  for (QLineSeries* line : lines_) {
    line->detachAxis(valueAxis_);
    line->attachAxis(axis);
  }
  valueAxis_ = axis;
}

void SegmentLines::Draw(const std::vector<PlotSegment>& segments) {
  for (std::size_t i = 0; i < segments.size(); ++i) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(segments[i].size()));
    for (const PlotPoint& point : segments[i]) points.append({point.x, point.y});
    QLineSeries* line = Line(static_cast<qsizetype>(i));
    line->setPointsVisible(points.size() == 1);
    line->replace(points);
  }
  for (qsizetype i = static_cast<qsizetype>(segments.size()); i < drawn_; ++i) lines_[i]->clear();
  drawn_ = static_cast<qsizetype>(segments.size());
}

QList<QLineSeries*> SegmentLines::Drawn() const { return lines_.first(drawn_); }

QLineSeries* SegmentLines::Line(qsizetype index) {
  while (lines_.size() <= index) {
    auto* line = new QLineSeries(chart_);
    line->setName(name_);
    QPen pen(color_);
    pen.setWidthF(1.5);
    line->setPen(pen);
    chart_->addSeries(line);
    line->attachAxis(timeAxis_);
    line->attachAxis(valueAxis_);
    lines_.append(line);
  }
  return lines_[index];
}

}  // namespace dornvel
