#include "ui/cached_group_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace dornvel {

CachedGroupBox::CachedGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {
  // The picture covers the box: what lies beneath needs no painting first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CachedGroupBox::paintEvent(QPaintEvent* event) {
  const qreal ratio = devicePixelRatioF();
  if (picture_.isNull() || picture_.devicePixelRatio() != ratio || pictureTitle_ != title()) {
    pictureTitle_ = title();
    picture_ = QPixmap(size() * ratio);
    picture_.setDevicePixelRatio(ratio);
    // The box's own background goes in first, so that the picture is opaque
    // and its antialiased edges blend as they would on the window.
    picture_.fill(palette().color(backgroundRole()));
    QPainter painter(&picture_);
    // Then what QGroupBox paints, with the pen and font a painter on the box
    // starts with.
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
  }
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.drawPixmap(0, 0, picture_);
}

void CachedGroupBox::changeEvent(QEvent* event) {
  // Colours, font, style, enabled state and window activation change what the
  // style draws.
  picture_ = QPixmap();
  QGroupBox::changeEvent(event);
}

void CachedGroupBox::resizeEvent(QResizeEvent* event) {
  picture_ = QPixmap();
  QGroupBox::resizeEvent(event);
}

}  // namespace dornvel
