#pragma once

#include <QGroupBox>
#include <QPixmap>
#include <QString>

namespace dornvel {

// A group box that keeps a picture of its own frame and caption between paints.
// The value boxes inside it repaint often (a new reading, the blinking text
// cursor), and each of their paints repaints the part of the frame beneath;
// the style would lay the caption out again every time.
class CachedGroupBox final : public QGroupBox {
 public:
  CachedGroupBox(const QString& title, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPixmap picture_;
  QString pictureTitle_;  // setTitle() sends no change event
};

}  // namespace dornvel
