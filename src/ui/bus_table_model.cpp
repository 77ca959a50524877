#include "ui/bus_table_model.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <chrono>

#include "protocol/error_texts.h"
#include "protocol/value.h"
#include "ui/number_pattern.h"

namespace dornvel {

namespace {

QString Optional(const auto& value) { return value ? QString::number(*value) : QString(); }

}  // namespace

QString BusPollMessage(const BusMeterState& meter) {
  switch (meter.lastEnd) {
    case BusPollEnd::NotYet: return QCoreApplication::translate("dornvel::BusTableModel", "not polled yet");
    case BusPollEnd::Answered: return QString::fromStdString(GetErrorText(Value(std::int16_t{0})));
    case BusPollEnd::Silent: return QCoreApplication::translate("dornvel::BusTableModel", "no reply");
    case BusPollEnd::Refused: break;
  }
  return QString::fromStdString(GetErrorText(Value(static_cast<std::int16_t>(meter.lastError))));
}

BusTableModel::BusTableModel(const std::vector<BusMeterState>& meters, std::function<TimePoint()> now, QObject* parent)
    : QAbstractTableModel(parent), meters_(meters), now_(std::move(now)) {}

int BusTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(meters_.size());
}

int BusTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant BusTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const BusMeterState& meter = meters_[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole: return Text(meter, index.column());
    case Qt::BackgroundRole:
      // The main window's error background: the palette's grey of disabled text.
      if (!ShowsCurrent(meter)) return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
      return {};
    case Qt::TextAlignmentRole:
      return index.column() == State ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default: return {};
  }
}

std::optional<std::int64_t> BusTableModel::AgeSeconds(const BusMeterState& meter) const {
  if (!meter.readAt) return std::nullopt;
  return std::chrono::duration_cast<std::chrono::seconds>(now_() - *meter.readAt).count();
}

QString BusTableModel::Text(const BusMeterState& meter, int column) const {
  switch (column) {
    case SlaveId: return QString::number(meter.address.slave);
    case Rate: return QString::number(meter.address.baudRate);
    case Resistance:
      // Whole kilohms, as the main window shows them.
      return meter.resistanceKohm ? QString::fromStdString(FormatWithPattern(Value(*meter.resistanceKohm), 1))
                                  : QString();
    case Switch: return Optional(meter.switchValue);
    case State: return BusPollMessage(meter);
    case Age: {
      const auto seconds = AgeSeconds(meter);
      return seconds ? QCoreApplication::translate("dornvel::BusTableModel", "%1 s").arg(*seconds) : QString();
    }
    case Good: return QString::number(meter.good);
    case Timeouts: return QString::number(meter.timeouts);
    case BadReplies: return QString::number(meter.badReplies);
    default: return {};
  }
}

QVariant BusTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
    return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kHeaders[ColumnCount] = {
      QT_TRANSLATE_NOOP("dornvel::BusTableModel", "Slave id"),
      QT_TRANSLATE_NOOP("dornvel::BusTableModel", "Rate"),
      QT_TRANSLATE_NOOP("dornvel::BusTableModel", "Resistance, kOhm"),
      QT_TRANSLATE_NOOP("dornvel::BusTableModel", "Switch"),
      QT_TRANSLATE_NOOP("dornvel::BusTableModel", "State"),
      QT_TRANSLATE_NOOP("dornvel::BusTableModel", "Age"),
      QT_TRANSLATE_NOOP("dornvel::BusTableModel", "Good"),
      QT_TRANSLATE_NOOP("dornvel::BusTableModel", "Time-outs"),
      QT_TRANSLATE_NOOP("dornvel::BusTableModel", "Bad replies"),
  };
  return section >= 0 && section < ColumnCount
             ? QCoreApplication::translate("dornvel::BusTableModel", kHeaders[section])
             : QVariant();
}

bool BusTableModel::ShowAnew() {
  shown_.resize(meters_.size());
  bool refit = false;
  for (int row = 0; row < rowCount(); ++row) {
    const BusMeterState& meter = meters_[static_cast<std::size_t>(row)];
    ShownRow& shown = shown_[static_cast<std::size_t>(row)];
    const auto age = AgeSeconds(meter);
    if (shown.meter == meter && shown.ageSeconds == age) continue;
    // A row greyed or no longer greyed is painted whole (a row not shown yet
    // counts as not greyed).
    const bool wholeRow = !ShowsCurrent(meter) != (shown.meter && !ShowsCurrent(*shown.meter));
    shown.meter = meter;
    shown.ageSeconds = age;
    for (int column = 0; column < ColumnCount; ++column) {
      QString text = Text(meter, column);
      QString& was = shown.texts[static_cast<std::size_t>(column)];
      if (text == was && !wholeRow) continue;
      if (text != was) {
        qsizetype& longest = longest_[static_cast<std::size_t>(column)];
        refit = refit || text.size() > longest || column == State;
        longest = std::max(longest, text.size());
        was = std::move(text);
      }
      emit dataChanged(index(row, column), index(row, column));
    }
  }
  return refit;
}

}  // namespace dornvel
