#pragma once

#include <QProxyStyle>

#include "ui/picture_list.h"

namespace dornvel {

// The application's style, for a text box that repaints often (a new reading
// every tick, the blinking text cursor): it keeps pictures of the box's frame
// and background, which the style would otherwise draw anew, outline and focus
// ring antialiased, at every repaint however small. Give each box a style of
// its own.
class CachedPanelStyle final : public QProxyStyle {
 public:
  CachedPanelStyle();

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;

 private:
  struct Look {
    const QWidget* widget;
    int state;
    QSize size;
    qreal ratio;
    qint64 palette;
    int lineWidth;
    int direction;
    bool operator==(const Look&) const = default;
  };
  mutable PictureList<Look> pictures_;
};

}  // namespace dornvel
