#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "protocol/bus_schedule.h"
#include "protocol/line.h"
#include "readings/csv_row.h"

class QLabel;
class QPushButton;
class QTableView;

namespace dornvel {

class BusDriver;
class BusTableModel;
class Clock;
class CsvRecorder;
class ToolHost;

// The bus view: every meter of a list on the line, one row each (see
// BusTableModel), polled in turn while the window is open. It holds the line
// meanwhile, so the main window's polling pauses; closing it, or the main
// window, lets the line go. Its Record button (or StartRecording) writes one
// CSV row per meter per poll: time, slave id, rate, resistance, switch and the
// poll's message, in either of the main window's two forms.
class BusWindow : public QWidget {
 public:
  BusWindow(std::unique_ptr<Line::Hold> hold, Clock& clock, std::vector<MeterAddress> meters, QWidget* parent);
  ~BusWindow() override;

  // Records from the next poll on into `path`, appended to; false, with the
  // reason shown in the window, when the file cannot be written.
  bool StartRecording(const QString& path, CsvForm form);
  void StopRecording();
  const std::vector<BusMeterState>& Meters() const { return schedule_.Meters(); }
  const BusTableModel& Model() const { return *model_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Polled(std::size_t meter);
  void ToggleRecording();
  void ShowTable();
  void ShowState();

  Clock& clock_;
  BusSchedule schedule_;
  std::unique_ptr<BusDriver> driver_;
  BusTableModel* model_;
  QTableView* view_;
  QLabel* state_;
  QPushButton* record_;
  QTimer shown_;
  std::unique_ptr<CsvRecorder> recorder_;
};

// Opens the bus view over `meters` from the main window: once the line is
// free (the running tick ends early), the view takes it; while another tool
// holds it, says so. With `recordFile`, records from the start.
void OpenBusView(ToolHost& host, std::vector<MeterAddress> meters, const QString& recordFile = {});

}  // namespace dornvel
