#include "ui/cached_group_box.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QGroupBox>
#include <QImage>
#include <QPalette>
#include <functional>
#include <ostream>

#include "picture_difference.h"

namespace dornvel::testing {
namespace {

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
