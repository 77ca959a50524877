#pragma once

#include <QRect>

namespace dornvel {

// The window was designed in twips (1/1440 inch); at 96 dpi a pixel is 15 twips.
// Qt's high-dpi scaling takes the pixels on from there.
inline constexpr int kTwipsPerPixel = 1440 / 96;

constexpr int TwipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

inline QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

}  // namespace dornvel
