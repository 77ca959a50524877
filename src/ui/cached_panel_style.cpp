#include "ui/cached_panel_style.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionFrame>

namespace dornvel {

// A style of the same kind as the application's, not the application's own
// object, which a proxy would take over.
CachedPanelStyle::CachedPanelStyle() : QProxyStyle(QApplication::style()->name()) {}

void CachedPanelStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                     const QWidget* widget) const {
  const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
  if (element != PE_PanelLineEdit || !frame || option->rect.isEmpty()) {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    return;
  }
  const qreal ratio = painter->device()->devicePixelRatio();
  const Look look{
      widget,           static_cast<int>(option->state),    option->rect.size(), ratio, option->palette.cacheKey(),
      frame->lineWidth, static_cast<int>(option->direction)};
  // Transparent where the style leaves the box's surroundings showing (the
  // rounded corners, the antialiased outline): drawn onto them, the picture
  // blends as the style's own painting would.
  const QPixmap& picture = pictures_.Get(look, option->rect.size(), ratio, [&](QPixmap& blank) {
    QStyleOptionFrame atOrigin = *frame;
    atOrigin.rect.moveTo(0, 0);
    QPainter picturePainter(&blank);
    QProxyStyle::drawPrimitive(element, &atOrigin, &picturePainter, widget);
  });
  painter->drawPixmap(option->rect.topLeft(), picture);
}

}  // namespace dornvel
