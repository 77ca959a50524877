#pragma once

#include <QFont>
#include <QProgressBar>
#include <QString>

#include "ui/picture_list.h"

namespace dornvel {

// A progress bar that keeps pictures of the looks it has shown. The window's
// bar goes full and back to empty at every tick, and the style would draw the
// groove and every block anew each time.
class CachedProgressBar final : public QProgressBar {
 public:
  explicit CachedProgressBar(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Look {
    int minimum;
    int maximum;
    int progress;
    int state;
    QSize size;
    qreal ratio;
    qint64 palette;
    const QStyle* style;
    QFont font;
    QString text;
    bool textVisible;
    int textAlignment;
    bool invertedAppearance;
    bool bottomToTop;
    bool operator==(const Look&) const = default;
  };
  PictureList<Look> pictures_;
};

}  // namespace dornvel
