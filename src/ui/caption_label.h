#pragma once

#include <QLabel>
#include <QRect>
#include <QString>
#include <optional>

namespace dornvel {

// A label of plain text without a frame that skips a repaint which misses its
// text. A label may reach under the box it names, and each repaint of the box
// (a new reading at every tick) repaints the label's part beneath as well; the
// label would lay its whole text out again to paint nothing there.
class CaptionLabel final : public QLabel {
 public:
  CaptionLabel(const QString& text, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Where the label paints: its text, or all of it when it shows more than a
  // line of plain text.
  QRect InkArea();

  struct Layout {
    QString text;
    QFont font;
    QRect contents;
    int alignment;
    int textFormat;
    int frameWidth;
    int margin;
    int indent;
    bool wordWrap;
    bool operator==(const Layout&) const = default;
  };
  std::optional<Layout> laidOut_;
  QRect inkArea_;
};

}  // namespace dornvel
