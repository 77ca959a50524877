#include "ui/text_cell_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

namespace dornvel {

void TextCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem cell = option;
  initStyleOption(&cell, index);
  if (cell.features & (QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration)) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  const QWidget* widget = cell.widget;
  const QStyle* style = widget ? widget->style() : QApplication::style();
  painter->save();
  painter->setClipRect(cell.rect, Qt::IntersectClip);
  style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, widget);
  if (!cell.text.isEmpty()) {
    // The pen and the margin the style's own item text takes.
    QPalette::ColorGroup group = cell.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(cell.state & QStyle::State_Active)) group = QPalette::Inactive;
    painter->setPen(
        cell.palette.color(group, cell.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = cell.rect.adjusted(margin, 0, -margin, 0);
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::ManualWrap);
    textOption.setTextDirection(cell.direction);
    textOption.setAlignment(QStyle::visualAlignment(cell.direction, cell.displayAlignment));
    QTextLayout layout(cell.text, cell.font);
    layout.setTextOption(textOption);
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(textRect.width());
      line.setPosition(QPointF(0, height));
      height += line.height();
    }
    layout.endLayout();
    // Placed as the style places it: the lines' box aligned in the text's rectangle.
    const QRect placed = QStyle::alignedRect(Qt::LayoutDirectionAuto, cell.displayAlignment,
                                             layout.boundingRect().size().toSize(), textRect);
    layout.draw(painter, QPointF(textRect.x(), placed.top()));
  }
  if (cell.state & QStyle::State_HasFocus) {
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(cell);
    focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
    focus.backgroundColor = cell.palette.color(QPalette::Window);
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
  }
  painter->restore();
}

}  // namespace dornvel
