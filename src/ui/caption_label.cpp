#include "ui/caption_label.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QStyle>
#include <QTextDocument>

namespace dornvel {

CaptionLabel::CaptionLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void CaptionLabel::paintEvent(QPaintEvent* event) {
  if (event->region().intersects(InkArea())) QLabel::paintEvent(event);
}

QRect CaptionLabel::InkArea() {
  const Layout layout{
      text(),   font(),   contentsRect(), static_cast<int>(alignment()), static_cast<int>(textFormat()), frameWidth(),
      margin(), indent(), wordWrap()};
  if (layout == laidOut_) return inkArea_;
  laidOut_ = layout;
  const bool plain = textFormat() == Qt::PlainText || (textFormat() == Qt::AutoText && !Qt::mightBeRichText(text()));
  // No text: the label shows a picture, if anything.
  if (!plain || text().isEmpty() || frameWidth() != 0 || wordWrap() || margin() != 0 || indent() > 0) {
    inkArea_ = rect();
    return inkArea_;
  }
  const QFontMetrics metrics(font());
  const QRect textArea = style()->itemTextRect(metrics, layout.contents, layout.alignment, isEnabled(), layout.text);
  // The pixels the glyphs cover, drawn from the text's origin: a glyph may
  // reach past its advance. Antialiasing bleeds one pixel further.
  const QRect glyphs = metrics.boundingRect(layout.text).translated(textArea.left(), textArea.top() + metrics.ascent());
  inkArea_ = textArea.united(glyphs).adjusted(-1, -1, 1, 1);
  return inkArea_;
}

}  // namespace dornvel
