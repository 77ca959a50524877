#include "ui/bus_table_model.h"

#include <gtest/gtest.h>

#include <QColor>
#include <functional>
#include <set>
#include <utility>
#include <vector>

namespace dornvel::testing {
namespace {

using namespace std::chrono_literals;

// A row is greyed whenever its last poll did not confirm the reading, and its
// age keeps counting from the last good one: nothing stale looks current.
TEST(BusTableModel, a_row_whose_last_poll_went_unanswered_is_greyed_and_shows_the_age_of_its_last_reading) {
  const TimePoint now = TimePoint{} + 1h;
  BusMeterState answered;
  answered.address = {3, 9600};
  answered.resistanceKohm = 12.5f;
  answered.switchValue = 7;
  answered.readAt = now - 200ms;
  answered.good = 4;
  answered.lastEnd = BusPollEnd::Answered;
  BusMeterState silent = answered;
  silent.address = {200, 19200};
  silent.lastEnd = BusPollEnd::Silent;
  silent.readAt = now - 12s;
  silent.timeouts = 2;
  BusMeterState refused = answered;
  refused.lastEnd = BusPollEnd::Refused;
  refused.lastError = 10;
  refused.badReplies = 1;
  BusMeterState never;
  never.address = {41, 9600};
  never.lastEnd = BusPollEnd::NotYet;

  const struct {
    const char* what;
    BusMeterState meter;
    bool grey;
    QStringList row;  // every column
  } cases[] = {
      {"answered", answered, false, {"3", "9600", "13", "7", "O.K.", "0 s", "4", "0", "0"}},
      {"silent since", silent, true, {"200", "19200", "13", "7", "no reply", "12 s", "4", "2", "0"}},
      {"a bad CRC since", refused, true, {"3", "9600", "13", "7", "Ошибка CRC", "0 s", "4", "0", "1"}},
      {"never polled", never, true, {"41", "9600", "", "", "not polled yet", "", "0", "0", "0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<BusMeterState> meters{c.meter};
    const BusTableModel model(meters, [now] { return now; });
    ASSERT_EQ(model.columnCount(), c.row.size());
    QStringList shown;
    for (int column = 0; column < model.columnCount(); ++column) {
      shown << model.data(model.index(0, column)).toString();
      EXPECT_EQ(model.data(model.index(0, column), Qt::BackgroundRole).isValid(), c.grey) << "column " << column;
    }
    EXPECT_EQ(shown, c.row);
  }
}

// A show announces only the cells it changed (painting a cell's text is the
// table's cost), and asks for the columns to be fitted again only when a text
// may no longer fit them.
TEST(BusTableModel, a_show_announces_the_cells_it_changed_and_asks_for_a_fit_only_when_a_text_may_not_fit) {
  using Cells = std::set<std::pair<int, int>>;
  const auto wholeRow = [](int row) {
    Cells cells;
    for (int column = 0; column < BusTableModel::ColumnCount; ++column) cells.insert({row, column});
    return cells;
  };
  const struct {
    const char* what;
    std::function<void(BusMeterState&, TimePoint&)> change;  // of row 1, after a first show
    Cells announced;
    bool refit;
  } cases[] = {
      {"nothing", [](BusMeterState&, TimePoint&) {}, {}, false},
      {"a poll more", [](BusMeterState& m, TimePoint&) { ++m.good; }, {{1, BusTableModel::Good}}, false},
      {"a counter one digit longer",
       [](BusMeterState& m, TimePoint&) { m.good = 10; },
       {{1, BusTableModel::Good}},
       true},
      {"a second older",
       [](BusMeterState&, TimePoint& now) { now += 1s; },
       {{0, BusTableModel::Age}, {1, BusTableModel::Age}},
       false},
      {"no reply: greyed, a new message",
       [](BusMeterState& m, TimePoint&) {
         m.lastEnd = BusPollEnd::Silent;
         ++m.timeouts;
       },
       wholeRow(1), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TimePoint now = TimePoint{} + 1h;
    const BusMeterState meter{.address = {3, 9600},
                              .resistanceKohm = 12.5f,
                              .switchValue = 7,
                              .readAt = now,
                              .good = 4,
                              .lastEnd = BusPollEnd::Answered};
    std::vector<BusMeterState> meters{meter, meter};
    meters[1].address.slave = 4;
    BusTableModel model(meters, [&now] { return now; });
    Cells announced;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&](const QModelIndex& from, const QModelIndex& to) {
      for (int row = from.row(); row <= to.row(); ++row) {
        for (int column = from.column(); column <= to.column(); ++column) announced.insert({row, column});
      }
    });
    EXPECT_TRUE(model.ShowAnew()) << "the first show fits the columns";
    announced.clear();
    c.change(meters[1], now);
    EXPECT_EQ(model.ShowAnew(), c.refit);
    EXPECT_EQ(announced, c.announced);
  }
}

}  // namespace
}  // namespace dornvel::testing
