#pragma once

#include <memory>
#include <optional>

#include "protocol/meter_search.h"
#include "protocol/protocol_services.h"

class QProgressDialog;
class QWidget;

namespace dornvel {

class Dialogs;
class Line;
class SerialControl;
class YesNoQuestion;

// The meter search's progress dialog over `parent`, shown at once; it shows
// the rate and slave id being tried, and its Cancel button and Escape stop the
// search at once.
class MeterSearchDialog {
 public:
  explicit MeterSearchDialog(QWidget* parent);
  ~MeterSearchDialog();
  MeterSearchDialog(const MeterSearchDialog&) = delete;
  MeterSearchDialog& operator=(const MeterSearchDialog&) = delete;

  // Says that the search starts once the running poll has finished.
  void ShowWaitingForPoll();
  bool Cancelled() const;
  // Runs the search (see SearchForMeter for what the caller must do first:
  // stop polling, start it between ticks) from `shown`, the computer-side slave
  // id and rate the window shows; hides the dialog when it ends.
  SearchResult Run(Line& line, ProtocolServices services, MeterAddress shown);

 private:
  std::unique_ptr<QProgressDialog> progress_;
  bool rejected_ = false;
};

// Tells what a search came to. Found: asks "Meter found: slave id N at R baud.
// Use these settings?" and returns the address on Yes, for the caller to apply
// as if the user had entered it (rate first, then slave id). Nothing found:
// says what was tried. A port that cannot be used is reported too, with the
// reason the serial control gives; a cancelled search says nothing.
// Returns none in all these cases.
std::optional<MeterAddress> AskToUse(const SearchResult& result, const SerialControl& port, Dialogs& dialogs,
                                     YesNoQuestion& question);

}  // namespace dornvel
