#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>

#include "readings/axis_scale.h"
#include "readings/reading.h"
#include "readings/trend_series.h"
#include "ui/decade_axis.h"

QT_BEGIN_NAMESPACE
class QAbstractAxis;
class QCategoryAxis;
class QChart;
class QChartView;
class QCheckBox;
class QDateTimeAxis;
class QLabel;
class QValueAxis;
QT_END_NAMESPACE

namespace dornvel {

class SegmentLines;

// A window of its own that plots the resistance (left axis) and the switch
// value (right axis) of this session against time, live: the minimum, maximum
// and last resistance as text, failed ticks as gaps in the lines, a
// logarithmic resistance axis on request, and "Save as PNG…".
//
// Feed it every tick with Append, from the start of the session, whether it is
// shown or not: it keeps the last day (see TrendSeries) and draws only while
// shown, once per pass of the event loop however many ticks came meanwhile.
// Closing it only hides it; show() brings it back up to date.
class TrendWindow : public QWidget {
  Q_OBJECT

 public:
  // `parent` (the main window) only ties the lifetimes: this is a top-level
  // window.
  explicit TrendWindow(QWidget* parent = nullptr);
  ~TrendWindow() override;

  void Append(const Reading& reading);
  const TrendSeries& Series() const { return series_; }

  // Draws the whole series anew at once, whether the last ticks need it or not.
  void DrawNow();
  // The lines above the plot in a saved picture: the meter, the time the
  // series spans, and its minimum, maximum and last resistance.
  QStringList Caption() const;
  // Writes the plot as shown, under its caption, to a PNG file at `path`; false when it cannot.
  bool SaveAsPng(const QString& path);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void ScheduleRedraw();
  void Redraw();
  QAbstractAxis* ResistanceAxis() const;
  void SetLogarithmic(bool logarithmic);
  void ShowStatistics();
  // "Save as PNG…": asks for a file without holding up the event loop, then
  // saves to it or says it cannot.
  void AskWhereToSave();
  void SaveTo(const QString& path);

  TrendSeries series_;
  QChart* chart_ = nullptr;
  QChartView* view_ = nullptr;
  QDateTimeAxis* timeAxis_ = nullptr;
  QValueAxis* linearAxis_ = nullptr;
  QCategoryAxis* decadesAxis_ = nullptr;
  std::optional<DecadeAxis> decades_;
  // The meter's own slave id, as its last answer gave it.
  std::optional<int> slaveId_;
  QValueAxis* switchAxis_ = nullptr;
  QCheckBox* logarithmic_ = nullptr;
  QLabel* statistics_ = nullptr;
  std::unique_ptr<SegmentLines> resistanceLines_;
  std::unique_ptr<SegmentLines> switchLines_;
  bool redrawPending_ = false;
  // What the lines were last drawn for.
  struct Drawn {
    TimeScale scale;
    int columns = 0;
    bool logarithmic = false;
    WallTime newest;
  };
  std::optional<Drawn> drawn_;
};

}  // namespace dornvel
