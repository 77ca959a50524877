#include "ui/cached_progress_bar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionProgressBar>

namespace dornvel {

CachedProgressBar::CachedProgressBar(QWidget* parent) : QProgressBar(parent) {}

void CachedProgressBar::paintEvent(QPaintEvent*) {
  QStyleOptionProgressBar option;
  initStyleOption(&option);
  const qreal ratio = devicePixelRatioF();
  const Look look{option.minimum,
                  option.maximum,
                  option.progress,
                  static_cast<int>(option.state),
                  size(),
                  ratio,
                  option.palette.cacheKey(),
                  style(),
                  font(),
                  option.text,
                  option.textVisible,
                  static_cast<int>(option.textAlignment),
                  option.invertedAppearance,
                  option.bottomToTop};
  const QPixmap& picture = pictures_.Get(look, size(), ratio, [&](QPixmap& blank) {
    QPainter picturePainter(&blank);
    // The pen, background and font a painter on the bar starts with.
    picturePainter.setPen(QPen(palette().brush(foregroundRole()), 1));
    picturePainter.setBackground(palette().brush(backgroundRole()));
    picturePainter.setFont(font());
    style()->drawControl(QStyle::CE_ProgressBar, &option, &picturePainter, this);
  });
  QPainter(this).drawPixmap(0, 0, picture);
}

}  // namespace dornvel
