#pragma once

#include <QDialog>
#include <memory>

#include "readings/csv_row.h"
#include "ui/commissioning_report.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace dornvel {

class CsvRecorder;
class SettingsStore;
class ToolHost;

// Commissions a batch of meters, one after another: each is connected alone
// and given the next slave id and the batch's rate when the user presses
// Next; its row goes into the report folder's report at once, and into the
// window's table, green, amber or red by its verdict. The thresholds and the
// folder are remembered in the settings store. The line is taken for each
// meter, so polling pauses only while one is being commissioned. At the end
// the batch's PDF is saved beside its report.
class CommissioningWindow : public QDialog {
 public:
  CommissioningWindow(ToolHost& host, SettingsStore& settings, QWidget* parent);
  ~CommissioningWindow() override;

  // Proposes a first slave id above `taken` too (the highest id a census
  // found), when the one proposed is not already higher.
  void ProposeAbove(int taken);
  // Next: commissions the meter on the line as soon as the line is free.
  void Next();
  // Saves the report as `base`.csv, in `form`, and `base`.pdf; false, having
  // said why in the window, when it cannot.
  bool SaveReport(const QString& base, CsvForm form);
  const CommissioningReport& Report() const { return report_; }
  // Closing saves the batch's PDF beside its report in the folder.
  void done(int result) override;
  bool Running() const { return running_; }

 private:
  void RunOne();
  void Append(const CommissioningRow& row);
  void SaveSettings();
  void AskToSave();
  Thresholds ThresholdsShown() const;

  ToolHost& host_;
  SettingsStore& settings_;
  QSpinBox* firstId_;
  QComboBox* rate_;
  QLineEdit* prewarning_;
  QLineEdit* alarm_;
  QLineEdit* folder_;
  QLabel* status_;
  QPushButton* next_;
  QPushButton* stop_;
  QTableWidget* table_;
  CommissioningReport report_;
  std::unique_ptr<CsvRecorder> file_;
  bool running_ = false;
  bool stopAsked_ = false;
};

}  // namespace dornvel
