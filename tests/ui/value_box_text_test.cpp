#include "ui/value_box_text.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QLineEdit>
#include <functional>

namespace dornvel::testing {
namespace {

const QString kWide = QStringLiteral("123456792");

// A value shown again is not measured again; what the box shows must still
// be what a first showing of the value gives.
TEST(ValueBoxText, a_value_shown_again_reads_as_when_first_shown) {
  const struct {
    const char* what;
    QString first;
    std::function<void(QLineEdit&)> meanwhile;
    QString second;
    const char* text;  // null: the shorter form of kWide
    QString toolTip;
    int cursor;  // -1: at the end
  } cases[] = {
      {"a wide number again", kWide, nullptr, kWide, nullptr, kWide, 0},
      {"a narrow number after a wide one", kWide, nullptr, QStringLiteral("13"), "13", {}, -1},
      {"nothing after a wide number", kWide, nullptr, QString(), "", {}, -1},
      {"the same number after the cursor moved",
       QStringLiteral("13"),
       [](QLineEdit& box) { box.setCursorPosition(0); },
       QStringLiteral("13"),
       "13",
       {},
       -1},
      {"a wide number the user typed", QStringLiteral("13"),
       [](QLineEdit& box) {
         box.setText(kWide);
         box.setModified(true);
       },
       kWide, nullptr, kWide, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QLineEdit box;
    QFont font = box.font();
    font.setPointSize(12);
    box.setFont(font);
    box.resize(73, 24);
    ShowValueText(box, c.first);
    if (c.meanwhile) c.meanwhile(box);
    ShowValueText(box, c.second);
    if (!c.text) {
      EXPECT_NE(box.text(), kWide);
      EXPECT_TRUE(box.text().contains(QLatin1Char('E'))) << box.text().toStdString();
    } else {
      EXPECT_EQ(box.text(), QString::fromUtf8(c.text));
    }
    EXPECT_EQ(box.toolTip(), c.toolTip);
    EXPECT_EQ(box.cursorPosition(), c.cursor < 0 ? box.text().size() : c.cursor);
  }
}

}  // namespace
}  // namespace dornvel::testing
