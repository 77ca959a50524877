#include "ui/trend_window.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLogValueAxis>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

#include <algorithm>
#include <cmath>
#include <optional>

#include "ui/segment_lines.h"

namespace dornvel {

namespace {

using namespace std::chrono_literals;

const QColor kResistanceColor(0x1f, 0x77, 0xb4);
const QColor kSwitchColor(0xff, 0x7f, 0x0e);

// Until a minute has passed, the time axis spans one minute, so that the first
// points do not spread over the whole width.
constexpr auto kShortestSpan = 1min;

// A logarithmic axis cannot show 0 or less, and a short circuit reads 0 kΩ:
// such values are drawn at 1 Ω (0.001 kΩ), the bottom of the axis then, far
// below anything an insulation test meets. So they stay in sight and are not
// taken for failed ticks; the text still gives the true minimum.
constexpr double kLogarithmicFloorKohm = 0.001;

struct Range {
  double low;
  double high;
};

std::optional<Range> RangeOf(const std::vector<PlotSegment>& segments) {
  std::optional<Range> range;
  for (const auto& segment : segments) {
    for (const PlotPoint& point : segment) {
      if (!range) range = Range{point.y, point.y};
      range->low = std::min(range->low, point.y);
      range->high = std::max(range->high, point.y);
    }
  }
  return range;
}

// Whole decades on a logarithmic axis; a little room above and below on a
// linear one.
void Fit(QAbstractAxis* axis, const Range& range) {
  if (auto* logarithmic = qobject_cast<QLogValueAxis*>(axis)) {
    const double low = std::pow(10.0, std::floor(std::log10(range.low)));
    const double high = std::pow(10.0, std::ceil(std::log10(range.high)));
    logarithmic->setRange(low, high > low ? high : low * 10);
  } else if (auto* linear = qobject_cast<QValueAxis*>(axis)) {
    const double room = range.high > range.low ? (range.high - range.low) * 0.05 : 1.0;
    linear->setRange(range.low - room, range.high + room);
    linear->applyNiceNumbers();
  }
}

double MillisecondsOf(WallTime time) {
  return std::chrono::duration<double, std::milli>(time.time_since_epoch()).count();
}

QDateTime DateTimeOf(WallTime time) {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(MillisecondsOf(time)));
}

QString KohmText(const std::optional<float>& value) {
  return value ? QString::number(*value, 'g', 7) + QStringLiteral(" kΩ") : QStringLiteral("—");
}

void StyleResistanceAxis(QAbstractAxis* axis) {
  axis->setTitleText(QStringLiteral("Resistance, kΩ"));
  axis->setTitleBrush(kResistanceColor);
}

}  // namespace

TrendWindow::TrendWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Trend"));
  BuildControls();
  resize(900, 500);
  ShowStatistics();
}

TrendWindow::~TrendWindow() = default;

void TrendWindow::BuildControls() {
  chart_ = new QChart;
  chart_->legend()->hide();
  chart_->setMargins(QMargins(4, 4, 4, 4));
  // The thinning depends on the plot's width in pixels.
  connect(chart_, &QChart::plotAreaChanged, this, &TrendWindow::ScheduleRedraw);

  timeAxis_ = new QDateTimeAxis;
  timeAxis_->setTickCount(6);
  timeAxis_->setTitleText(QStringLiteral("Time"));
  chart_->addAxis(timeAxis_, Qt::AlignBottom);

  switchAxis_ = new QValueAxis;
  switchAxis_->setLabelFormat(QStringLiteral("%d"));
  switchAxis_->setTitleText(QStringLiteral("Switch"));
  switchAxis_->setTitleBrush(kSwitchColor);
  chart_->addAxis(switchAxis_, Qt::AlignRight);

  // Both resistance axes stay on the chart, one of them hidden: a removed
  // axis leaves its labels on the scene until the event loop deletes them.
  linearAxis_ = new QValueAxis;
  linearAxis_->setLabelFormat(QStringLiteral("%g"));
  StyleResistanceAxis(linearAxis_);
  chart_->addAxis(linearAxis_, Qt::AlignLeft);
  decadesAxis_ = new QLogValueAxis;
  decadesAxis_->setBase(10);
  decadesAxis_->setLabelFormat(QStringLiteral("%g"));
  decadesAxis_->setMinorTickCount(8);
  StyleResistanceAxis(decadesAxis_);
  chart_->addAxis(decadesAxis_, Qt::AlignLeft);
  decadesAxis_->hide();

  resistanceLines_ =
      std::make_unique<SegmentLines>(chart_, timeAxis_, linearAxis_, QStringLiteral("Resistance"), kResistanceColor);
  switchLines_ = std::make_unique<SegmentLines>(chart_, timeAxis_, switchAxis_, QStringLiteral("Switch"), kSwitchColor);

  view_ = new QChartView(chart_, this);
  view_->setObjectName(QStringLiteral("trendChart"));
  view_->setRenderHint(QPainter::Antialiasing);

  statistics_ = new QLabel(this);
  statistics_->setObjectName(QStringLiteral("statistics"));
  statistics_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  logarithmic_ = new QCheckBox(QStringLiteral("Logarithmic resistance axis"), this);
  logarithmic_->setObjectName(QStringLiteral("logarithmicAxis"));
  connect(logarithmic_, &QCheckBox::toggled, this, &TrendWindow::SetLogarithmic);

  auto* save = new QPushButton(QStringLiteral("Save as PNG…"), this);
  save->setObjectName(QStringLiteral("saveAsPng"));
  connect(save, &QPushButton::clicked, this, &TrendWindow::AskWhereToSave);

  auto* controls = new QHBoxLayout;
  controls->addWidget(statistics_, 1);
  controls->addWidget(logarithmic_);
  controls->addWidget(save);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_, 1);
  layout->addLayout(controls);
}

void TrendWindow::Append(const Reading& reading) {
  series_.Append(reading);
  ScheduleRedraw();
}

void TrendWindow::ScheduleRedraw() {
  if (redrawPending_) return;
  redrawPending_ = true;
  QTimer::singleShot(0, this, &TrendWindow::Redraw);
}

void TrendWindow::Redraw() {
  redrawPending_ = false;
  ShowStatistics();
  const auto& points = series_.Points();
  if (!isVisible() || points.empty()) return;

  const WallTime from = points.front().time;
  const WallTime to = std::max(points.back().time, from + kShortestSpan);
  // Before the chart's first layout its plot area is empty: the view's width
  // is near enough until then.
  const double width = chart_->plotArea().width() >= 1 ? chart_->plotArea().width() : view_->width();
  const int columns = std::max(1, static_cast<int>(width));
  auto resistance = Decimate(points, TrendQuantity::Resistance, from, to, columns);
  if (logarithmic_->isChecked()) {
    for (auto& segment : resistance) {
      for (PlotPoint& point : segment) point.y = std::max(point.y, kLogarithmicFloorKohm);
    }
  }
  const auto switches = Decimate(points, TrendQuantity::Switch, from, to, columns);

  timeAxis_->setFormat(to - from < 1h ? QStringLiteral("HH:mm:ss") : QStringLiteral("dd.MM HH:mm"));
  timeAxis_->setRange(DateTimeOf(from), DateTimeOf(to));
  if (auto range = RangeOf(resistance)) Fit(ResistanceAxis(), *range);
  if (auto range = RangeOf(switches)) Fit(switchAxis_, *range);
  resistanceLines_->Draw(resistance);
  switchLines_->Draw(switches);
}

QAbstractAxis* TrendWindow::ResistanceAxis() const {
  return logarithmic_->isChecked() ? static_cast<QAbstractAxis*>(decadesAxis_) : linearAxis_;
}

void TrendWindow::SetLogarithmic(bool logarithmic) {
  // Emptied first: the values drawn for the linear axis may be 0 or less.
  resistanceLines_->Draw({});
  resistanceLines_->SetValueAxis(ResistanceAxis());
  decadesAxis_->setVisible(logarithmic);
  linearAxis_->setVisible(!logarithmic);
  Redraw();
}

void TrendWindow::ShowStatistics() {
  statistics_->setText(QStringLiteral("Minimum: %1    Maximum: %2    Last: %3")
                           .arg(KohmText(series_.Minimum()), KohmText(series_.Maximum()), KohmText(series_.Last())));
}

bool TrendWindow::SaveAsPng(const QString& path) {
  if (redrawPending_) Redraw();
  return view_->grab().save(path, "PNG");
}

void TrendWindow::AskWhereToSave() {
  const QString suggested = QDir::home().filePath(
      QStringLiteral("trend-%1.png").arg(QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss")));
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save the trend as PNG"), suggested,
                                              QStringLiteral("PNG images (*.png)"));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
  if (!SaveAsPng(path)) {
    QMessageBox::warning(this, windowTitle(), QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(path)));
  }
}

void TrendWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ScheduleRedraw();
}

}  // namespace dornvel
