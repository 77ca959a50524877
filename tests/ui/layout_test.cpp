#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>

#include <gtest/gtest.h>

#include "window_rig.h"

namespace dornvel::testing {
namespace {

// The designed controls in the window's control order, at 15 twips per pixel.
struct Design {
  const char* name;
  const char* className;
  const char* container;  // empty: the window
  const char* caption;
  QRect geometry;
};

const Design kDesign[] = {
    {"Frame2", "QGroupBox", "", "Device settings", {8, 8, 353, 161}},
    {"nolu", "QLineEdit", "Frame2", "nolu", {264, 24, 73, 24}},
    {"switch", "QLineEdit", "Frame2", "switch", {264, 56, 73, 24}},
    {"slaveid", "QLineEdit", "Frame2", "slaveid", {264, 88, 73, 24}},
    {"Boudrate", "QLineEdit", "Frame2", "Boudrate", {264, 120, 73, 24}},
    {"Label1", "QLabel", "Frame2", "Сопротивление изоляции в кОм:", {8, 24, 257, 17}},
    {"Label2", "QLabel", "Frame2", "Переключятеля защиты в кОм:", {8, 56, 257, 17}},
    {"Label3", "QLabel", "Frame2", "SlaveID:", {8, 88, 241, 17}},
    {"Label4", "QLabel", "Frame2", "BoudRate:", {8, 120, 241, 17}},
    {"Frame1", "QGroupBox", "", "Computer settings", {376, 16, 281, 153}},
    {"ProgSlave", "QLineEdit", "Frame1", "Text1", {160, 80, 89, 25}},
    {"ProgBoudRate", "QComboBox", "Frame1", "BRate", {160, 112, 89, 28}},
    {"ProgCom", "QComboBox", "Frame1", "Combo1", {160, 16, 89, 28}},
    {"Label6", "QLabel", "Frame1", "SlaveID:", {40, 88, 105, 17}},
    {"Label5", "QLabel", "Frame1", "BoudRate:", {40, 120, 105, 17}},
    {"Label25", "QLabel", "Frame1", "COM PORT:", {40, 24, 105, 17}},
    {"ProgressBar1", "QProgressBar", "", "", {88, 224, 145, 17}},
    {"StatusBar1", "QFrame", "", "", {0, 214, 671, 33}},
    {"Timer1", "QTimer", "", "", {}},
    {"MSComm", "", "", "", {}},
    {"Label7", "QLabel", "", "Для программирования адреса и скорости обмена устройства, установите перемычку \"JP\"",
     {16, 176, 625, 25}},
};

QString CaptionOf(QObject* object) {
  if (auto* frame = qobject_cast<QGroupBox*>(object)) return frame->title();
  if (auto* box = qobject_cast<QLineEdit*>(object)) return box->text();
  if (auto* label = qobject_cast<QLabel*>(object)) return label->text();
  if (auto* list = qobject_cast<QComboBox*>(object)) return list->currentText();
  return QString();
}

TEST(Layout, enumerates_its_21_controls_in_the_designed_order_with_their_kinds_captions_and_places) {
  WindowRig rig;
  const auto& controls = rig.window->Controls();
  ASSERT_EQ(controls.size(), std::size(kDesign));
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const Design& design = kDesign[i];
    SCOPED_TRACE(design.name);
    EXPECT_EQ(controls[i].name, QString::fromUtf8(design.name));
    QObject* object = controls[i].object;
    if (design.className[0] == '\0') {
      EXPECT_EQ(object, nullptr);  // the serial control is no Qt object
      continue;
    }
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->objectName(), QString::fromUtf8(design.name));
    EXPECT_STREQ(object->metaObject()->className(), design.className);
    EXPECT_EQ(rig.window->findChild<QObject*>(QString::fromUtf8(design.name)), object);
    EXPECT_EQ(CaptionOf(object), QString::fromUtf8(design.caption));
    if (auto* widget = qobject_cast<QWidget*>(object)) {
      const QString container = design.container[0] ? QString::fromUtf8(design.container) : QString();
      EXPECT_EQ(widget->parentWidget() == rig.window.get() ? QString() : widget->parentWidget()->objectName(),
                container);
      EXPECT_EQ(widget->geometry(), design.geometry);
    }
  }
}

TEST(Layout, has_the_window_caption_and_client_size_of_the_design) {
  WindowRig rig;
  EXPECT_EQ(rig.window->windowTitle(), QStringLiteral("NOLU"));
  EXPECT_EQ(rig.window->size(), QSize(671, 247));
  EXPECT_EQ(rig.window->minimumSize(), rig.window->maximumSize());
}

TEST(Layout, the_instruction_has_83_characters) {
  WindowRig rig;
  EXPECT_EQ(rig.window->findChild<QLabel*>(QStringLiteral("Label7"))->text().size(), 83);
}

TEST(Layout, status_bar_has_four_empty_panels_of_the_designed_widths_with_the_bar_over_panel_2) {
  WindowRig rig;
  const int widths[] = {80, 163, 27, 427};  // 1200, 2440, 400, 6400 twips
  int left = 0;
  for (int i = 1; i <= 4; ++i) {
    SCOPED_TRACE(i);
    QLabel* panel = rig.window->Panel(i);
    EXPECT_EQ(panel->parentWidget()->objectName(), QStringLiteral("StatusBar1"));
    EXPECT_EQ(panel->geometry().left(), left);
    EXPECT_EQ(panel->width(), widths[i - 1]);
    EXPECT_TRUE(panel->text().isEmpty());
    left += widths[i - 1];
  }
  auto* bar = rig.window->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  const QRect panel2 = rig.window->Panel(2)->geometry().translated(0, 214);
  EXPECT_TRUE(panel2.contains(bar->geometry())) << "panel 2 does not hold the progress bar";
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 100);
  // The bar is drawn over the status bar, not under it.
  const QObjectList& children = rig.window->children();
  EXPECT_GT(children.indexOf(bar), children.indexOf(rig.window->findChild<QWidget*>(QStringLiteral("StatusBar1"))));
}

TEST(Layout, text_controls_use_a_cyrillic_sans_font_at_the_designed_size) {
  WindowRig rig;
  for (const auto& control : rig.window->Controls()) {
    auto* widget = qobject_cast<QWidget*>(control.object);
    if (!widget || control.name == "ProgressBar1" || control.name == "StatusBar1") continue;
    SCOPED_TRACE(control.name.toStdString());
    EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), control.name == "Label7" ? 9.75 : 12.0);
    EXPECT_TRUE(QFontDatabase::writingSystems(widget->font().family()).contains(QFontDatabase::Cyrillic))
        << widget->font().family().toStdString();
  }
}

TEST(Layout, every_label_caption_fits_its_label) {
  WindowRig rig;
  for (QLabel* label : rig.window->findChildren<QLabel*>()) {
    if (label->text().isEmpty()) continue;
    SCOPED_TRACE(label->objectName().toStdString());
    EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width())
        << label->font().family().toStdString();
  }
}

TEST(Layout, keyboard_order_follows_the_designed_tab_indexes) {
  WindowRig rig;
  const char* order[] = {"ProgCom", "ProgBoudRate", "Boudrate", "slaveid", "switch", "nolu", "ProgSlave"};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    SCOPED_TRACE(order[i]);
    QWidget* previous = rig.window->findChild<QWidget*>(QString::fromUtf8(order[i - 1]));
    QWidget* next = rig.window->findChild<QWidget*>(QString::fromUtf8(order[i]));
    // The next widget that the Tab key stops at; a combo box's own edit field is
    // part of the combo box.
    QWidget* after = previous->nextInFocusChain();
    while (!(after->focusPolicy() & Qt::TabFocus) || previous->isAncestorOf(after)) after = after->nextInFocusChain();
    EXPECT_EQ(after->objectName(), next->objectName());
  }
}

TEST(Layout, value_boxes_show_their_names_and_polling_waits_for_start_up) {
  WindowRig rig;
  for (const char* name : {"nolu", "switch", "slaveid", "Boudrate"}) EXPECT_EQ(rig.Box(name)->text(), name);
  EXPECT_FALSE(rig.window->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
  EXPECT_EQ(rig.window->Tags(), nullptr);
  EXPECT_FALSE(rig.window->CommBusy());
}

TEST(Layout, tag_name_is_the_part_of_a_control_name_before_its_first_underscore) {
  struct Case {
    const char* name;
    const char* tagName;
  } cases[] = {{"pump_1", "pump"}, {"a_b_c", "a"},   {"_x", ""},
               {"Timer1", ""},      {"switch", ""}, {"slaveid_2", "slaveid"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FormMain::TagName({QString::fromUtf8(c.name), nullptr}), QString::fromUtf8(c.tagName));
  }
  WindowRig rig;
  for (const auto& control : rig.window->Controls()) EXPECT_EQ(FormMain::TagName(control), QString());
}

}  // namespace
}  // namespace dornvel::testing
