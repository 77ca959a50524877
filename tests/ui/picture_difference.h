#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

namespace dornvel::testing {

// What `widget` paints of `region` (all of it when empty), on the window's
// colour.
inline QImage Picture(QWidget& widget, const QRegion& region = QRegion()) {
  QImage picture(widget.size(), QImage::Format_RGB32);
  picture.fill(widget.palette().color(QPalette::Window));
  widget.render(&picture, QPoint(), region, QWidget::DrawChildren);
  return picture;
}

// The largest difference of one colour channel between two pictures of one
// size. A picture kept and the style's direct painting may round an
// antialiased edge apart by one step; a stale picture differs by far more.
inline int LargestDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 255;
  int largest = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      largest = std::max(
          {largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
    }
  }
  return largest;
}

constexpr int kRounding = 2;

}  // namespace dornvel::testing
