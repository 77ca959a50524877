#include "ui/trend_window.h"

#include <gtest/gtest.h>

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <vector>

namespace dornvel::testing {
namespace {

using namespace std::chrono;
using Segments = std::vector<QList<QPointF>>;

const WallTime kStart = sys_days{2026y / 12 / 8} + 8h;

double Ms(seconds at) { return duration<double, std::milli>((kStart + at).time_since_epoch()).count(); }

Reading Tick(seconds at, std::optional<float> resistance, std::optional<int> switchValue) {
  Reading reading;
  reading.time = kStart + at;
  reading.resistanceKohm = resistance;
  reading.switchValue = switchValue;
  return reading;
}

struct TrendWindowTest : ::testing::Test {
  TrendWindowTest() { window.show(); }

  QChart* Chart() const { return window.findChild<QChartView*>(QStringLiteral("trendChart"))->chart(); }
  QString Statistics() const { return window.findChild<QLabel*>(QStringLiteral("statistics"))->text(); }
  QAbstractAxis* ResistanceAxis() const {
    for (QAbstractAxis* axis : Chart()->axes(Qt::Vertical)) {
      if (axis->alignment() == Qt::AlignLeft && axis->isVisible()) return axis;
    }
    return nullptr;
  }

  // The stretches of one quantity's line as drawn, in the order of time.
  Segments Drawn(const QString& name) const {
    Segments segments;
    for (QAbstractSeries* series : Chart()->series()) {
      auto* line = qobject_cast<QLineSeries*>(series);
      if (line->name() == name && line->count() > 0) segments.push_back(line->points());
    }
    return segments;
  }

  // Lets the window draw what it was given.
  void Settle() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Drawn(QStringLiteral("Resistance")).empty(); }, 5000));
    for (int pass = 0; pass < 3; ++pass) QCoreApplication::processEvents();
  }

  TrendWindow window;
};

TEST_F(TrendWindowTest, draws_a_tick_sequence_with_its_gaps_and_tells_minimum_maximum_and_last) {
  EXPECT_EQ(Statistics(), "Minimum: —    Maximum: —    Last: —");
  window.Append(Tick(0s, 10.0f, 1));
  window.Append(Tick(1s, 20.0f, 2));
  window.Append(Tick(2s, std::nullopt, std::nullopt));
  window.Append(Tick(3s, 15.0f, 3));
  window.Append(Tick(4s, 30.0f, std::nullopt));
  Settle();

  EXPECT_EQ(Drawn(QStringLiteral("Resistance")),
            (Segments{{{Ms(0s), 10}, {Ms(1s), 20}}, {{Ms(3s), 15}, {Ms(4s), 30}}}));
  EXPECT_EQ(Drawn(QStringLiteral("Switch")), (Segments{{{Ms(0s), 1}, {Ms(1s), 2}}, {{Ms(3s), 3}}}));
  EXPECT_EQ(Statistics(), "Minimum: 10 kΩ    Maximum: 30 kΩ    Last: 30 kΩ");

  window.Append(Tick(5s, std::nullopt, 4));
  Settle();
  EXPECT_EQ(Statistics(), "Minimum: 10 kΩ    Maximum: 30 kΩ    Last: —");
}

TEST_F(TrendWindowTest, keeps_a_day_and_draws_it_thinned_to_the_plot_width) {
  const int ticks = 86400 + 600;
  for (int i = 0; i < ticks; ++i) {
    window.Append(
        Tick(seconds{i}, i % 100 == 0 ? std::nullopt : std::optional(1000.0f + static_cast<float>(i % 37)), i % 5));
  }
  Settle();

  EXPECT_EQ(window.Series().Points().size(), 86400u);
  auto* time = qobject_cast<QDateTimeAxis*>(Chart()->axes(Qt::Horizontal).first());
  // The kept day, out to the round hours around it.
  const double step = duration<double, std::milli>(6h).count();
  EXPECT_LE(time->min().toMSecsSinceEpoch(), Ms(600s));
  EXPECT_GT(time->min().toMSecsSinceEpoch(), Ms(600s) - step);
  EXPECT_GE(time->max().toMSecsSinceEpoch(), Ms(seconds{ticks - 1}));
  EXPECT_LT(time->max().toMSecsSinceEpoch(), Ms(seconds{ticks - 1}) + step);
  qsizetype drawnPoints = 0;
  for (const auto& segment : Drawn(QStringLiteral("Resistance"))) drawnPoints += segment.size();
  EXPECT_GT(drawnPoints, 0);
  EXPECT_LE(drawnPoints, 2 * static_cast<qsizetype>(Chart()->plotArea().width()) + 2);
}

TEST_F(TrendWindowTest, the_logarithmic_axis_draws_decades_and_a_short_circuit_on_a_labelled_floor) {
  window.Append(Tick(0s, 0.0f, 0));
  window.Append(Tick(1s, 2500.0f, 0));
  Settle();
  ASSERT_TRUE(qobject_cast<QValueAxis*>(ResistanceAxis()));
  EXPECT_EQ(Drawn(QStringLiteral("Resistance")), (Segments{{{Ms(0s), 0}, {Ms(1s), 2500}}}));

  window.findChild<QCheckBox*>(QStringLiteral("logarithmicAxis"))->setChecked(true);
  Settle();
  auto* decades = qobject_cast<QCategoryAxis*>(ResistanceAxis());
  ASSERT_TRUE(decades);
  // 0 on the floor a decade below 1 MΩ; 2500 kΩ at log10(2500).
  EXPECT_EQ(Drawn(QStringLiteral("Resistance")), (Segments{{{Ms(0s), 2}, {Ms(1s), std::log10(2500.0)}}}));
  EXPECT_EQ(decades->categoriesLabels(), (QStringList{"≤ 0", "1 MΩ", "10 MΩ"}));
  EXPECT_EQ(Statistics(), "Minimum: 0 kΩ    Maximum: 2500 kΩ    Last: 2500 kΩ");

  window.findChild<QCheckBox*>(QStringLiteral("logarithmicAxis"))->setChecked(false);
  Settle();
  EXPECT_TRUE(qobject_cast<QValueAxis*>(ResistanceAxis()));
  EXPECT_EQ(Drawn(QStringLiteral("Resistance")), (Segments{{{Ms(0s), 0}, {Ms(1s), 2500}}}));
}

// Each range in a window of its own: the labels depend on the whole series.
TEST(TrendAxes, label_decades_and_whole_switch_values_over_any_range) {
  const struct {
    std::vector<float> resistances;
    std::vector<int> switches;
    QStringList decades;
    double switchStep;
  } cases[] = {
      {{250, 2500}, {6, 5, 5, 4, 4}, {"100 kΩ", "1 MΩ", "10 MΩ"}, 1},
      {{99999999.0f, 123456789.0f}, {0, 1000}, {"100 GΩ", "1 TΩ"}, 200},
      {{0.5f, 0, 5e8f}, {3}, {"≤ 0", "100 Ω", "10 kΩ", "1 MΩ", "100 MΩ", "10 GΩ", "1 TΩ"}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.decades.join(' ').toStdString());
    TrendWindow window;
    window.show();
    window.findChild<QCheckBox*>(QStringLiteral("logarithmicAxis"))->setChecked(true);
    for (std::size_t i = 0; i < std::max(c.resistances.size(), c.switches.size()); ++i) {
      window.Append(Tick(seconds{i}, c.resistances[std::min(i, c.resistances.size() - 1)],
                         c.switches[std::min(i, c.switches.size() - 1)]));
    }
    window.DrawNow();
    const QChart* chart = window.findChild<QChartView*>(QStringLiteral("trendChart"))->chart();
    for (QAbstractAxis* axis : chart->axes(Qt::Vertical)) {
      if (auto* decades = qobject_cast<QCategoryAxis*>(axis)) {
        EXPECT_EQ(decades->categoriesLabels(), c.decades);
      }
      if (axis->alignment() == Qt::AlignRight) {
        auto* switches = qobject_cast<QValueAxis*>(axis);
        EXPECT_EQ(switches->tickInterval(), c.switchStep);
        EXPECT_EQ(switches->labelFormat(), "%d");
      }
    }
  }
}

// The axes' lines and grid are drawn in the theme's colours, one pixel wide as
// the theme draws them, by a pen of no width.
TEST_F(TrendWindowTest, axis_lines_and_grid_have_the_theme_colours_and_no_width) {
  QChart themed;
  auto* plain = new QValueAxis;
  themed.addAxis(plain, Qt::AlignLeft);
  for (QAbstractAxis* axis : Chart()->axes()) {
    SCOPED_TRACE(axis->titleText().toStdString());
    EXPECT_EQ(axis->linePen().color(), plain->linePen().color());
    EXPECT_EQ(axis->gridLinePen().color(), plain->gridLinePen().color());
    EXPECT_EQ(axis->linePen().widthF(), 0);
    EXPECT_EQ(axis->gridLinePen().widthF(), 0);
  }
  EXPECT_EQ(plain->gridLinePen().widthF(), 1) << "the theme's grid is no longer one pixel wide";
}

TEST_F(TrendWindowTest, a_hidden_window_keeps_the_ticks_and_draws_them_when_shown_again) {
  window.hide();
  window.Append(Tick(0s, 1.0f, 0));
  window.Append(Tick(1s, 2.0f, 0));
  for (int pass = 0; pass < 3; ++pass) QCoreApplication::processEvents();
  EXPECT_TRUE(Drawn(QStringLiteral("Resistance")).empty());

  window.show();
  Settle();
  EXPECT_EQ(Drawn(QStringLiteral("Resistance")), (Segments{{{Ms(0s), 1}, {Ms(1s), 2}}}));
}

TEST_F(TrendWindowTest, saves_the_plot_under_a_caption_of_meter_time_span_and_figures_and_says_when_it_cannot) {
  Reading first = Tick(0s, 1.0f, 0);
  first.deviceSlaveId = 17;
  window.Append(first);
  window.Append(Tick(3661s, 2.0f, 0));
  Settle();
  QTemporaryDir dir;

  const QString span = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(Ms(0s))).toString("yyyy-MM-dd HH:mm:ss") +
                       " – " +
                       QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(Ms(3661s))).toString("yyyy-MM-dd HH:mm:ss");
  EXPECT_EQ(window.Caption(), (QStringList{"Insulation resistance of the meter at slave id 17", span,
                                           "Minimum: 1 kΩ    Maximum: 2 kΩ    Last: 2 kΩ"}));
  const QString path = dir.filePath("trend.png");
  ASSERT_TRUE(window.SaveAsPng(path));
  const QImage saved(path, "PNG");
  const QSize plot = window.findChild<QChartView*>(QStringLiteral("trendChart"))->size();
  EXPECT_EQ(saved.width(), plot.width());
  EXPECT_GT(saved.height(), plot.height());

  EXPECT_FALSE(window.SaveAsPng(dir.filePath("missing/trend.png")));
}

TEST_F(TrendWindowTest, save_as_png_asks_without_holding_up_the_event_loop) {
  window.Append(Tick(0s, 1.0f, 0));
  Settle();
  QTemporaryDir dir;
  int beats = 0;
  QTimer beat;
  QObject::connect(&beat, &QTimer::timeout, [&] { ++beats; });
  beat.start(10);

  // Returns at once with the dialog open, the timer still beating.
  window.findChild<QPushButton*>(QStringLiteral("saveAsPng"))->click();
  auto* dialog = window.findChild<QFileDialog*>(QStringLiteral("saveTrendDialog"));
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(QTest::qWaitFor([&] { return beats >= 3; }, 2000));
  EXPECT_TRUE(dialog->isVisible());

  emit dialog->fileSelected(dir.filePath("trend.png"));
  dialog->close();
  EXPECT_FALSE(QImage(dir.filePath("trend.png"), "PNG").isNull());
}

}  // namespace
}  // namespace dornvel::testing
