#include "ui/trend_window.h"

#include <QCategoryAxis>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "readings/axis_scale.h"
#include "ui/segment_lines.h"

namespace dornvel {

namespace {

using namespace std::chrono_literals;

const QColor kResistanceColor(0x1f, 0x77, 0xb4);
const QColor kSwitchColor(0xff, 0x7f, 0x0e);

// Until a minute has passed, the time axis spans one minute, so that the first
// points do not spread over the whole width.
constexpr auto kShortestSpan = 1min;
// Steps of round times along the time axis.
constexpr int kMostTimeSteps = 6;

// Labels a person reads at a glance: at most this many steps up the axis.
constexpr int kMostLinearSteps = 6;

struct Range {
  double low;
  double high;
};

std::optional<Range> RangeOf(std::optional<float> low, std::optional<float> high) {
  if (!low || !high) return std::nullopt;
  return Range{*low, *high};
}

// Set only when it changes: each change lays the labels out anew.
void SetScale(QValueAxis* axis, const LinearScale& scale) {
  if (axis->tickAnchor() == scale.low && axis->tickInterval() == scale.step && axis->min() == scale.low &&
      axis->max() == scale.high) {
    return;
  }
  axis->setTickAnchor(scale.low);
  axis->setTickInterval(scale.step);
  axis->setRange(scale.low, scale.high);
}

// Round steps. The resistance drifts: its axis stays while the values fit it
// well (each new scale costs the labels' layout), and a new one leaves room
// above and below for the drift to go on.
void Fit(QValueAxis* axis, const Range& range, bool wholeSteps) {
  if (wholeSteps) {
    SetScale(axis, NiceLinearScale(range.low, range.high, kMostLinearSteps, true));
    return;
  }
  if (FitsWell(LinearScale{axis->min(), axis->max(), axis->tickInterval()}, range.low, range.high)) return;
  const double room = (range.high - range.low) * 0.25;
  const double low = range.low >= 0 ? std::max(range.low - room, 0.0) : range.low - room;
  SetScale(axis, NiceLinearScale(low, range.high + room, kMostLinearSteps, false));
}

double MillisecondsOf(WallTime time) {
  return std::chrono::duration<double, std::milli>(time.time_since_epoch()).count();
}

QDateTime DateTimeOf(WallTime time) {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(MillisecondsOf(time)));
}

QString KohmText(const std::optional<float>& value) {
  return value ? QCoreApplication::translate("dornvel::TrendWindow", "%1 kΩ").arg(QString::number(*value, 'g', 7))
               : QStringLiteral("—");
}

// A line of plain text that changes at every tick. The layout gives it the
// room left and never measures its text; and not selectable, since a
// selectable label lays its text out as a document at every change.
class TickerLabel : public QLabel {
 public:
  using QLabel::QLabel;
  QSize sizeHint() const override { return {0, fontMetrics().height()}; }
  QSize minimumSizeHint() const override { return sizeHint(); }
};

// The theme's one-pixel pen for the axes' lines and grid, as a pen of no
// width, which the unantialiased plot draws with the same pixels. The scene
// asks each line for its outline at every repaint of the plot, and for a pen
// with a width the line strokes itself to find it.
void DrawLinesHairline(QAbstractAxis* axis) {
  for (auto [pen, set] : {std::pair{axis->linePen(), &QAbstractAxis::setLinePen},
                          std::pair{axis->gridLinePen(), &QAbstractAxis::setGridLinePen}}) {
    if (pen.widthF() > 1) continue;
    pen.setWidth(0);
    (axis->*set)(pen);
  }
}

void StyleResistanceAxis(QAbstractAxis* axis) {
  axis->setTitleText(QCoreApplication::translate("dornvel::TrendWindow", "Resistance, kΩ"));
  axis->setTitleBrush(kResistanceColor);
}

}  // namespace

TrendWindow::TrendWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QCoreApplication::translate("dornvel::TrendWindow", "Trend"));
  BuildControls();
  resize(900, 500);
  ShowStatistics();
}

TrendWindow::~TrendWindow() = default;

void TrendWindow::BuildControls() {
  chart_ = new QChart;
  chart_->legend()->hide();
  chart_->setMargins(QMargins(4, 4, 4, 4));
  // Square corners: the background is then a plain fill, repainted under the
  // lines at every tick.
  chart_->setBackgroundRoundness(0);
  // The thinning depends on the plot's width in whole pixels. The axes'
  // ranges do not (they come from the whole series), so a redraw for a new
  // width changes no label, and so no width, again.
  connect(chart_, &QChart::plotAreaChanged, this, [this](const QRectF& area) {
    if (!drawn_ || static_cast<int>(area.width()) != drawn_->columns) ScheduleRedraw();
  });

  timeAxis_ = new QDateTimeAxis;
  timeAxis_->setTitleText(QCoreApplication::translate("dornvel::TrendWindow", "Time"));
  chart_->addAxis(timeAxis_, Qt::AlignBottom);

  switchAxis_ = new QValueAxis;
  switchAxis_->setTickType(QValueAxis::TicksDynamic);
  switchAxis_->setLabelFormat(QStringLiteral("%d"));
  switchAxis_->setTitleText(QCoreApplication::translate("dornvel::TrendWindow", "Switch"));
  switchAxis_->setTitleBrush(kSwitchColor);
  chart_->addAxis(switchAxis_, Qt::AlignRight);

  // Both resistance axes stay on the chart, one of them hidden: a removed
  // axis leaves its labels on the scene until the event loop deletes them.
  linearAxis_ = new QValueAxis;
  linearAxis_->setTickType(QValueAxis::TicksDynamic);
  linearAxis_->setLabelFormat(QStringLiteral("%g"));
  StyleResistanceAxis(linearAxis_);
  chart_->addAxis(linearAxis_, Qt::AlignLeft);
  decadesAxis_ = new QCategoryAxis;
  decadesAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  decadesAxis_->setTitleText(QCoreApplication::translate("dornvel::TrendWindow", "Resistance"));
  decadesAxis_->setTitleBrush(kResistanceColor);
  chart_->addAxis(decadesAxis_, Qt::AlignLeft);
  decadesAxis_->hide();
  decades_.emplace(decadesAxis_);
  for (QAbstractAxis* axis : chart_->axes()) DrawLinesHairline(axis);

  resistanceLines_ =
      std::make_unique<SegmentLines>(chart_, timeAxis_, linearAxis_, QStringLiteral("Resistance"), kResistanceColor);
  switchLines_ = std::make_unique<SegmentLines>(chart_, timeAxis_, switchAxis_, QStringLiteral("Switch"), kSwitchColor);

  view_ = new QChartView(chart_, this);
  view_->setObjectName(QStringLiteral("trendChart"));
  // No antialiasing of the lines: at two points a pixel column at most, it
  // smooths little and costs most of the picture's repaint at every tick.
  view_->setRenderHint(QPainter::Antialiasing, false);

  statistics_ = new TickerLabel(this);
  statistics_->setObjectName(QStringLiteral("statistics"));

  logarithmic_ =
      new QCheckBox(QCoreApplication::translate("dornvel::TrendWindow", "Logarithmic resistance axis"), this);
  logarithmic_->setObjectName(QStringLiteral("logarithmicAxis"));
  connect(logarithmic_, &QCheckBox::toggled, this, &TrendWindow::SetLogarithmic);

  auto* save = new QPushButton(QCoreApplication::translate("dornvel::TrendWindow", "Save as PNG…"), this);
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
  if (reading.deviceSlaveId) slaveId_ = reading.deviceSlaveId;
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

  const WallTime first = points.front().time;
  const TimeScale time = NiceTimeScale(first, std::max(points.back().time, first + kShortestSpan), kMostTimeSteps,
                                       std::chrono::seconds(DateTimeOf(first).offsetFromUtc()));
  const WallTime from = time.from;
  const WallTime to = time.to;
  // Before the chart's first layout its plot area is empty: the view's width
  // is near enough until then.
  const double width = chart_->plotArea().width() >= 1 ? chart_->plotArea().width() : view_->width();
  const int columns = std::max(1, static_cast<int>(width));
  const bool logarithmic = logarithmic_->isChecked();
  // Once a pixel column spans more than a tick, a tick changes at most the
  // last column: the lines are drawn anew once a column's time, so that the
  // thinning, which reads the whole series, costs the same per tick over a
  // minute and over a day.
  const WallTime newest = points.back().time;
  if (drawn_ && drawn_->scale == time && drawn_->columns == columns && drawn_->logarithmic == logarithmic &&
      newest - drawn_->newest < (to - from) / columns) {
    return;
  }
  drawn_ = Drawn{time, columns, logarithmic, newest};
  auto resistance = Decimate(points, TrendQuantity::Resistance, from, to, columns);
  if (logarithmic) {
    if (const auto highest = series_.Maximum()) {
      decades_->Fit(series_.PositiveMinimum(), *highest, *series_.Minimum() <= 0);
    }
    for (auto& segment : resistance) {
      for (PlotPoint& point : segment) point.y = decades_->Y(point.y);
    }
  }
  const auto switches = Decimate(points, TrendQuantity::Switch, from, to, columns);

  // Set only when they change: each change lays the labels out anew.
  const QString format = to - from >= 12h   ? QStringLiteral("dd.MM HH:mm")
                         : time.step < 1min ? QStringLiteral("HH:mm:ss")
                                            : QStringLiteral("HH:mm");
  if (timeAxis_->format() != format) timeAxis_->setFormat(format);
  const int ticks = static_cast<int>((to - from) / time.step) + 1;
  if (timeAxis_->tickCount() != ticks) timeAxis_->setTickCount(ticks);
  if (timeAxis_->min() != DateTimeOf(from) || timeAxis_->max() != DateTimeOf(to)) {
    timeAxis_->setRange(DateTimeOf(from), DateTimeOf(to));
  }
  if (auto range = RangeOf(series_.Minimum(), series_.Maximum()); range && !logarithmic) {
    Fit(linearAxis_, *range, false);
  }
  if (auto range = RangeOf(series_.SwitchMinimum(), series_.SwitchMaximum())) Fit(switchAxis_, *range, true);
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
  drawn_.reset();
  Redraw();
}

void TrendWindow::ShowStatistics() {
  statistics_->setText(QCoreApplication::translate("dornvel::TrendWindow", "Minimum: %1    Maximum: %2    Last: %3")
                           .arg(KohmText(series_.Minimum()), KohmText(series_.Maximum()), KohmText(series_.Last())));
}

void TrendWindow::DrawNow() {
  drawn_.reset();
  Redraw();
}

QStringList TrendWindow::Caption() const {
  const auto& points = series_.Points();
  const QString title = slaveId_ ? QCoreApplication::translate("dornvel::TrendWindow",
                                                               "Insulation resistance of the meter at slave id %1")
                                       .arg(*slaveId_)
                                 : QCoreApplication::translate("dornvel::TrendWindow", "Insulation resistance");
  const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
  const QString span = points.empty() ? QString()
                                      : DateTimeOf(points.front().time).toString(format) + QStringLiteral(" – ") +
                                            DateTimeOf(points.back().time).toString(format);
  return {title, span, statistics_->text()};
}

bool TrendWindow::SaveAsPng(const QString& path) {
  DrawNow();
  // The picture says what it shows when it is looked at on its own: the
  // meter, the time it spans and the figures under the plot.
  const QPixmap plot = view_->grab();
  const QStringList caption = Caption();
  const int lineHeight = fontMetrics().height();
  const int margin = lineHeight / 2;
  QImage picture(plot.width(), plot.height() + static_cast<int>(caption.size()) * lineHeight + 2 * margin,
                 QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setFont(font());
  painter.setPen(Qt::black);
  for (int i = 0; i < caption.size(); ++i) {
    painter.drawText(QRect(margin, margin + i * lineHeight, plot.width() - 2 * margin, lineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, caption[i]);
  }
  painter.drawPixmap(0, static_cast<int>(caption.size()) * lineHeight + 2 * margin, plot);
  painter.end();
  return picture.save(path, "PNG");
}

void TrendWindow::AskWhereToSave() {
  // Shown with open(), not exec(): a nested event loop here would hold back
  // the window's ticks for as long as the dialog is open.
  auto* dialog = new QFileDialog(this, QCoreApplication::translate("dornvel::TrendWindow", "Save the trend as PNG"));
  dialog->setObjectName(QStringLiteral("saveTrendDialog"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setNameFilter(QCoreApplication::translate("dornvel::TrendWindow", "PNG images (*.png)"));
  dialog->setDefaultSuffix(QStringLiteral("png"));
  dialog->selectFile(QDir::home().filePath(
      QStringLiteral("trend-%1.png").arg(QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss"))));
  connect(dialog, &QFileDialog::fileSelected, this, &TrendWindow::SaveTo);
  dialog->open();
}

void TrendWindow::SaveTo(const QString& path) {
  if (SaveAsPng(path)) return;
  auto* box = new QMessageBox(
      QMessageBox::Warning, windowTitle(),
      QCoreApplication::translate("dornvel::TrendWindow", "Cannot write %1").arg(QDir::toNativeSeparators(path)),
      QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void TrendWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Ticks came while it was hidden.
  drawn_.reset();
  ScheduleRedraw();
}

}  // namespace dornvel
