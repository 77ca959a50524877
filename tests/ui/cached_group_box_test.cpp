#include "ui/cached_group_box.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QGroupBox>
#include <QImage>
#include <QPalette>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <ostream>

namespace dornvel::testing {
namespace {

QImage Picture(QWidget& widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// The largest difference of one colour channel between two pictures of one
// size. The picture kept and the style's direct painting may round an
// antialiased edge apart by one step; a stale picture differs by far more.
int LargestDifference(const QImage& a, const QImage& b) {
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

struct Change {
  const char* what;
  std::function<void(QGroupBox&)> apply;
};

void PrintTo(const Change& change, std::ostream* out) { *out << change.what; }

// Each change is made to a plain group box and to the cached one after both
// have been painted once: the cached one must then paint what the plain one
// paints, not its old picture.
class CachedGroupBoxTest : public ::testing::TestWithParam<Change> {};

TEST_P(CachedGroupBoxTest, paints_what_a_plain_group_box_paints_after_a_change) {
  QGroupBox plain(QStringLiteral("Device settings"), nullptr);
  CachedGroupBox cached(QStringLiteral("Device settings"), nullptr);
  plain.resize(353, 161);
  cached.resize(353, 161);
  const QImage before = Picture(plain);
  ASSERT_LE(LargestDifference(Picture(cached), before), kRounding);

  GetParam().apply(plain);
  GetParam().apply(cached);
  const QImage after = Picture(plain);
  ASSERT_GT(LargestDifference(after, before), kRounding) << "the change shows in no picture";
  EXPECT_LE(LargestDifference(Picture(cached), after), kRounding);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, CachedGroupBoxTest,
    ::testing::Values(Change{"title", [](QGroupBox& box) { box.setTitle(QStringLiteral("Computer settings")); }},
                      Change{"size", [](QGroupBox& box) { box.resize(281, 153); }},
                      Change{"font",
                             [](QGroupBox& box) {
                               QFont font = box.font();
                               font.setPointSize(font.pointSize() + 6);
                               box.setFont(font);
                             }},
                      Change{"palette",
                             [](QGroupBox& box) {
                               QPalette palette = box.palette();
                               palette.setColor(QPalette::WindowText, Qt::red);
                               palette.setColor(QPalette::Window, Qt::yellow);
                               box.setPalette(palette);
                             }},
                      Change{"enabled state", [](QGroupBox& box) { box.setEnabled(false); }}),
    [](const ::testing::TestParamInfo<Change>& info) {
      std::string name = info.param.what;
      for (char& c : name) {
        if (c == ' ') c = '_';
      }
      return name;
    });

}  // namespace
}  // namespace dornvel::testing
