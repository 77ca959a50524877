#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "protocol/bus_meter_state.h"

namespace dornvel {

// The message of a meter's last poll: "O.K.", the error text of a refused
// reply (as the tags name them), or that it did not answer.
QString BusPollMessage(const BusMeterState& meter);

// One row per meter on the bus: slave id, rate, resistance, switch, the last
// poll's message, the age of the last good reading and the counters of good
// polls, time-outs and bad replies. A row whose last poll was not answered is
// greyed, as the main window greys a value its last exchange did not confirm,
// and its age keeps growing: nothing stale looks current.
class BusTableModel : public QAbstractTableModel {
 public:
  enum Column { SlaveId, Rate, Resistance, Switch, State, Age, Good, Timeouts, BadReplies, ColumnCount };

  // `meters` outlives the model; `now` tells the time the ages are counted to.
  BusTableModel(const std::vector<BusMeterState>& meters, std::function<TimePoint()> now, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // What the polls since the last show brought, and the ages, are shown: only
  // the cells whose text or greying changed are announced, since painting a
  // cell's text costs far more than a poll. True when the columns want fitting
  // to their texts again: a text longer than its column has shown, or a new
  // message (messages of one length differ in width; digits do not).
  bool ShowAnew();

 private:
  struct ShownRow {
    // What the texts were made of: a row whose meter and age are as they were
    // is not made anew.
    std::optional<BusMeterState> meter;
    std::optional<std::int64_t> ageSeconds;
    std::array<QString, ColumnCount> texts;
  };

  std::optional<std::int64_t> AgeSeconds(const BusMeterState& meter) const;
  QString Text(const BusMeterState& meter, int column) const;

  const std::vector<BusMeterState>& meters_;
  std::function<TimePoint()> now_;
  std::vector<ShownRow> shown_;
  std::array<qsizetype, ColumnCount> longest_{};
};

}  // namespace dornvel
