#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "protocol/bus_meter_state.h"
#include "protocol/line.h"
#include "readings/csv_row.h"
#include "ui/bus_driver.h"
#include "ui/tool_host.h"

class QLabel;
class QPushButton;
class QTableView;

namespace dornvel {

class BusTableModel;
class Clock;
class CsvRecorder;

// The bus view: every meter of a list on the line, one row each (see
// BusTableModel), polled in turn while the window is open. It holds the line
// meanwhile, so the main window's polling pauses; closing it, or the main
// window, lets the line go. Its Record button (or StartRecording) writes one
// CSV row per meter per poll: time, slave id, rate, resistance, switch and the
// poll's message, in either of the main window's two forms.
class BusWindow : public QWidget {
 public:
  // `makePort` makes the control the polls run on (see BusDriver).
  BusWindow(std::unique_ptr<Line::Hold> hold, Clock& clock, std::vector<MeterAddress> meters,
            const SerialControlFactory& makePort, QWidget* parent);
  ~BusWindow() override;

  // Records from the next poll on into `path`, appended to; false, with the
  // reason shown in the window, when the file cannot be written.
  bool StartRecording(const QString& path, CsvForm form);
  void StopRecording();
  // As last shown.
  const std::vector<BusMeterState>& Meters() const { return meters_; }
  const BusTableModel& Model() const { return *model_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Record(const BusDriver::EndedPoll& poll);
  // Lets the line go, with every poll recorded.
  void StopPolling();
  void ToggleRecording();
  // Records the polls ended since the last take, and keeps what they found.
  void TakeNews();
  void ShowTable();
  void ShowState();

  std::unique_ptr<BusDriver> driver_;
  // What the polls found, as the table shows it.
  std::vector<BusMeterState> meters_;
  bool portFailed_ = false;
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
