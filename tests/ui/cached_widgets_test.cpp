#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QTableView>
#include <functional>

#include "picture_difference.h"
#include "ui/cached_panel_style.h"
#include "ui/cached_progress_bar.h"
#include "ui/caption_label.h"
#include "ui/text_cell_delegate.h"

namespace dornvel::testing {
namespace {

void Grey(QWidget& widget) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Disabled, QPalette::Text));
  widget.setPalette(palette);
}

// Each box is painted once, changed, and painted again: the box with the kept
// pictures must then paint what a plain box paints, not an old picture.
TEST(CachedPanelStyle, a_text_box_paints_what_a_plain_one_paints_after_each_change) {
  const struct {
    const char* what;
    std::function<void(QLineEdit&)> change;
  } changes[] = {
      {"new text", [](QLineEdit& box) { box.setText(QStringLiteral("1500.25")); }},
      {"error background", [](QLineEdit& box) { Grey(box); }},
      {"size", [](QLineEdit& box) { box.resize(120, 30); }},
      {"disabled", [](QLineEdit& box) { box.setEnabled(false); }},
  };
  for (const auto& c : changes) {
    SCOPED_TRACE(c.what);
    QLineEdit plain(QStringLiteral("13"));
    QLineEdit cached(QStringLiteral("13"));
    CachedPanelStyle style;
    cached.setStyle(&style);
    plain.resize(73, 24);
    cached.resize(73, 24);
    const QImage before = Picture(plain);
    ASSERT_LE(LargestDifference(Picture(cached), before), kRounding);
    c.change(plain);
    c.change(cached);
    const QImage after = Picture(plain);
    ASSERT_GT(LargestDifference(after, before), kRounding) << "the change shows in no picture";
    EXPECT_LE(LargestDifference(Picture(cached), after), kRounding);
  }
}

TEST(CachedProgressBar, paints_each_value_as_a_plain_bar_does_also_after_going_back) {
  QProgressBar plain;
  CachedProgressBar cached(nullptr);
  for (QProgressBar* bar : {&plain, static_cast<QProgressBar*>(&cached)}) {
    bar->resize(145, 17);
    bar->setTextVisible(false);
    bar->setRange(0, 4);
  }
  for (const int value : {0, 4, 0, 2, 4, 0}) {
    SCOPED_TRACE(value);
    plain.setValue(value);
    cached.setValue(value);
    EXPECT_LE(LargestDifference(Picture(cached), Picture(plain)), kRounding);
  }
}

// A table painted with the text cells' delegate looks as one the style paints:
// texts aligned either way, empty cells, a greyed row and the focused cell.
TEST(TextCellDelegate, paints_a_table_as_the_styled_delegate_does) {
  QStandardItemModel model(3, 3);
  const char* const texts[3][3] = {{"3", "9600", "O.K."}, {"200", "", "no reply"}, {"41", "19200", "Ошибка CRC"}};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      auto* item = new QStandardItem(QString::fromUtf8(texts[row][column]));
      if (column < 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (row == 1) item->setBackground(QPalette().color(QPalette::Disabled, QPalette::Text));
      model.setItem(row, column, item);
    }
  }
  QTableView styled;
  QTableView plain;
  plain.setItemDelegate(new TextCellDelegate(&plain));
  for (QTableView* view : {&styled, &plain}) {
    view->setModel(&model);
    view->resize(320, 140);
    view->resizeColumnsToContents();
    view->setCurrentIndex(model.index(2, 1));
  }
  EXPECT_LE(LargestDifference(Picture(plain), Picture(styled)), kRounding);
}

// The label is painted strip by strip, as the repaints of a box over part of
// it would: no strip may lose a pixel of its text, whatever the alignment.
TEST(CaptionLabel, paints_every_pixel_of_its_text_in_a_repaint_of_any_part_of_it) {
  for (const Qt::Alignment alignment :
       {Qt::AlignLeft | Qt::AlignTop, Qt::AlignRight | Qt::AlignVCenter, Qt::AlignHCenter | Qt::AlignBottom}) {
    SCOPED_TRACE(static_cast<int>(alignment));
    const QString text = QStringLiteral("Сопротивление изоляции в кОм: fj");
    QLabel plain(text);
    CaptionLabel caption(text, nullptr);
    for (QLabel* label : {&plain, static_cast<QLabel*>(&caption)}) {
      label->setAlignment(alignment);
      label->resize(400, 40);
    }
    for (int left = 0; left < plain.width(); left += 2) {
      const QRegion strip(left, 0, 2, plain.height());
      EXPECT_EQ(Picture(caption, strip), Picture(plain, strip)) << "strip at " << left;
    }
  }
}

}  // namespace
}  // namespace dornvel::testing
