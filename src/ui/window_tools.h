#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "protocol/protocol_services.h"
#include "readings/csv_row.h"

class QAction;

namespace dornvel {

class CensusDialog;
class CommissioningWindow;
class CsvRecorder;
class Dialogs;
class FormMain;
class MeterSearchDialog;
class TrendWindow;
class YesNoQuestion;

// What the window offers beyond its controls, from its context menu (a right
// click on the window or either frame) and by key: find the meter on the line
// (Ctrl+F), list every meter on it (Ctrl+L), record the readings of every tick
// into a CSV file (Ctrl+R), their trend (Ctrl+T), and commission a batch of
// meters. The window keeps its controls as they are; panel 1 of
// its status bar shows "REC" while recording.
class WindowTools : public QObject {
 public:
  WindowTools(FormMain& window, ProtocolServices services, Dialogs& dialogs, YesNoQuestion& question);
  ~WindowTools() override;

  // Records from the next tick on into `path`, appended to, in the locale's
  // form or the one given; false, having said why, when the file cannot be
  // written.
  bool StartRecording(const QString& path);
  bool StartRecording(const QString& path, CsvForm form);
  void StopRecording();
  bool Recording() const { return recorder_ != nullptr; }

  // Searches the chosen port for the meter with polling paused. Its dialog
  // shows at once; during a tick it waits for the exchange on the line, the
  // tick's remaining exchanges are not started, and the search follows the
  // tick. A meter found and accepted becomes the computer's slave id and rate,
  // as if the user had chosen them.
  void FindMeter();

  // Ctrl+L: shows "Meters on the line" at once and takes the census once the
  // line is free, polling paused meanwhile; a meter opened from its table
  // becomes the one the window polls.
  void ListMeters();
  // The dialog; its `onWatchAll` is called with the meters listed when Watch
  // all is pressed.
  CensusDialog* Census() const { return census_; }
  // Takes the census, then watches every meter it finds in the bus view,
  // recording into `recordFile` unless it is empty.
  void WatchAll(const QString& recordFile);

  // Ctrl+T: shows the trend window and brings it to the front.
  void ShowTrend();
  TrendWindow& Trend() { return *trend_; }
  QAction* FindAction() const { return find_; }
  QAction* CensusAction() const { return censusAction_; }
  QAction* RecordAction() const { return record_; }
  QAction* TrendAction() const { return trendAction_; }
  // Commission meters…: shows the commissioning window, made on first use.
  void ShowCommissioning();
  CommissioningWindow* Commissioning() const { return commissioning_; }
  QAction* CommissionAction() const { return commission_; }

 private:
  void AfterTick();
  void Search();
  // Ctrl+R: stops a recording, or asks for a file and starts one.
  void ToggleRecording();

  FormMain& window_;
  ProtocolServices services_;
  Dialogs& dialogs_;
  YesNoQuestion& question_;
  TrendWindow* trend_;    // the window's child
  CensusDialog* census_;  // the window's child
  // Where the bus view opened from the next census records; empty: nowhere.
  QString busRecordFile_;
  std::unique_ptr<CsvRecorder> recorder_;
  QAction* find_;
  QAction* censusAction_;
  QAction* record_;
  QAction* trendAction_;
  QAction* commission_;
  CommissioningWindow* commissioning_ = nullptr;  // the window's child
  // The search asked for, from its dialog's showing to its end; one at a time.
  std::unique_ptr<MeterSearchDialog> search_;
};

}  // namespace dornvel
