#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <set>
#include <vector>

#include "harness/window_rig.h"

namespace dornvel::testing {
namespace {

QString CaptionOf(QObject* object) {
  if (auto* frame = qobject_cast<QGroupBox*>(object)) return frame->title();
  if (auto* box = qobject_cast<QLineEdit*>(object)) return box->text();
  if (auto* label = qobject_cast<QLabel*>(object)) return label->text();
  if (auto* list = qobject_cast<QComboBox*>(object)) return list->currentText();
  return QString();
}

TEST(Layout, enumerates_21_controls_each_found_by_its_name_the_serial_control_without_a_widget) {
  WindowRig rig;
  const auto& controls = rig.window->Controls();
  ASSERT_EQ(controls.size(), 21u);
  std::set<QString> names;
  for (const auto& control : controls) {
    SCOPED_TRACE(control.name.toStdString());
    EXPECT_TRUE(names.insert(control.name).second) << "named twice";
    if (control.name == "MSComm") {
      EXPECT_EQ(control.object, nullptr);
      continue;
    }
    ASSERT_NE(control.object, nullptr);
    EXPECT_EQ(rig.window->findChild<QObject*>(control.name), control.object);
  }
}

// The texts are the system's own, word for word (the typo included).
TEST(Layout, frames_and_labels_carry_their_texts_word_for_word) {
  WindowRig rig;
  const std::pair<const char*, const char*> captions[] = {
      {"Frame2", "Device settings"},
      {"Frame1", "Computer settings"},
      {"Label1", "Сопротивление изоляции в кОм:"},
      {"Label2", "Переключятеля защиты в кОм:"},
      {"Label3", "SlaveID:"},
      {"Label4", "BoudRate:"},
      {"Label6", "SlaveID:"},
      {"Label5", "BoudRate:"},
      {"Label25", "COM PORT:"},
      {"Label7", "Для программирования адреса и скорости обмена устройства, установите перемычку \"JP\""},
      {"ProgSlave", "Text1"},
      {"ProgBoudRate", "BRate"},
      {"ProgCom", "Combo1"},
  };
  for (const auto& [name, caption] : captions) {
    EXPECT_EQ(CaptionOf(rig.window->findChild<QObject*>(QString::fromUtf8(name))), QString::fromUtf8(caption)) << name;
  }
}

// Within the window or a frame, no control sticks out of its container, and
// no box, list, frame or bar covers another; only the progress bar lies over
// the status bar. (Labels may reach under the box they name: see below.)
TEST(Layout, every_control_lies_inside_its_container_and_none_covers_another) {
  WindowRig rig;
  std::vector<QWidget*> widgets;
  for (const auto& control : rig.window->Controls()) {
    auto* widget = qobject_cast<QWidget*>(control.object);
    if (widget && !qobject_cast<QLabel*>(widget)) widgets.push_back(widget);
  }
  for (QWidget* widget : widgets) {
    SCOPED_TRACE(widget->objectName().toStdString());
    EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry()));
    for (QWidget* other : widgets) {
      if (other == widget || other->parentWidget() != widget->parentWidget()) continue;
      const bool barOverStatusBar = widget->objectName() == "ProgressBar1" && other->objectName() == "StatusBar1";
      if (!barOverStatusBar && other->objectName() != "ProgressBar1") {
        EXPECT_FALSE(widget->geometry().intersects(other->geometry())) << other->objectName().toStdString();
      }
    }
  }
}

// A label names the box on its right, on the same row, and its text ends
// before the box begins.
TEST(Layout, each_box_sits_on_the_row_of_its_label_right_of_its_text) {
  WindowRig rig;
  const std::pair<const char*, const char*> rows[] = {
      {"Label1", "nolu"},      {"Label2", "switch"},       {"Label3", "slaveid"},  {"Label4", "Boudrate"},
      {"Label6", "ProgSlave"}, {"Label5", "ProgBoudRate"}, {"Label25", "ProgCom"},
  };
  for (const auto& [labelName, boxName] : rows) {
    SCOPED_TRACE(boxName);
    const auto* labelWidget = rig.window->findChild<QLabel*>(QString::fromUtf8(labelName));
    const QRect label = labelWidget->geometry();
    const QRect box = rig.window->findChild<QWidget*>(QString::fromUtf8(boxName))->geometry();
    EXPECT_LE(label.left() + QFontMetrics(labelWidget->font()).horizontalAdvance(labelWidget->text()), box.left());
    EXPECT_GE(label.center().y(), box.top());
    EXPECT_LE(label.center().y(), box.bottom());
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

}  // namespace
}  // namespace dornvel::testing
