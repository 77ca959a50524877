#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "protocol/meter_census.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace dornvel {

class ToolHost;

// "Meters on the line": a table that fills as the census finds meters, with
// its progress and a Cancel button. Once the census has ended, a row opened
// (double-click or Open) becomes the meter the window polls, and Watch all
// hands every meter listed to `onWatchAll`.
class CensusDialog : public QDialog {
 public:
  CensusDialog(ToolHost& host, QWidget* parent);

  // Called with the meters listed when Watch all is pressed; the button is
  // there only when this is set.
  std::function<void(std::vector<CensusEntry>)> onWatchAll;
  // Hands the meters to `onWatchAll` by itself once the next census has
  // found any, and the line is free again.
  bool watchAllWhenDone = false;

  // Shows the dialog, emptied, waiting for the line.
  void ShowWaitingForPoll();
  // Takes the census on the host's line (the caller starts it once the line
  // is free, between ticks), the dialog live meanwhile.
  void Run();
  bool Running() const { return running_; }
  const std::vector<CensusEntry>& Meters() const { return meters_; }
  QTableWidget* Table() const { return table_; }

 private:
  void AddRow(const CensusEntry& entry);
  void Ended(const Census& census);
  void OpenChosen();
  void reject() override;

  ToolHost& host_;
  QLabel* status_;
  QProgressBar* progress_;
  QTableWidget* table_;
  QPushButton* open_;
  QPushButton* watchAll_;
  QPushButton* cancel_;
  std::vector<CensusEntry> meters_;
  bool running_ = false;
  bool cancelled_ = false;
};

}  // namespace dornvel
