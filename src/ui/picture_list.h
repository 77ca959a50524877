#pragma once

#include <QPixmap>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace dornvel {

// The last few pictures a widget painted, each under the key of what it shows
// (a struct whose == compares all that the picture depends on). A look not seen
// lately is painted anew and pushes the oldest picture out.
template <class Key>
class PictureList {
 public:
  // The picture for `key`, painted by `paint` onto a transparent pixmap of
  // `size` device-independent pixels when none is kept.
  const QPixmap& Get(const Key& key, QSize size, qreal ratio, const std::function<void(QPixmap&)>& paint) {
    for (const auto& [kept, picture] : pictures_) {
      if (kept == key) return picture;
    }
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    paint(picture);
    if (pictures_.size() == kMostPictures) pictures_.erase(pictures_.begin());
    pictures_.emplace_back(key, std::move(picture));
    return pictures_.back().second;
  }

 private:
  // A box's looks: focused or not, each on the normal or the error
  // background; a bar's: empty and full.
  static constexpr std::size_t kMostPictures = 4;
  std::vector<std::pair<Key, QPixmap>> pictures_;
};

}  // namespace dornvel
