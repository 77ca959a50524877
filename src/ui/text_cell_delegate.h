#pragma once

#include <QStyledItemDelegate>

namespace dornvel {

// Paints a cell of text only (no check box, no icon) with one layout of its
// text: the style lays it out three times more to place it, and a table
// refreshed twice a second spends most of its time there. Background, pen and
// focus frame are the style's own; the columns are fitted to their texts, so
// a text is clipped to its cell rather than shortened. Other cells, and all
// measuring, are the styled delegate's.
class TextCellDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace dornvel
