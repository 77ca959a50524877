#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <array>
#include <map>
#include <string_view>

#include "ui/cached_group_box.h"
#include "ui/cached_panel_style.h"
#include "ui/cached_progress_bar.h"
#include "ui/caption_label.h"
#include "ui/control_font.h"
#include "ui/device_tags.h"
#include "ui/form_main.h"
#include "ui/port_list.h"
#include "ui/twips.h"

namespace dornvel {

namespace {

enum class Kind { Frame, TextBox, Label, ComboBox, PortList, ProgressBar, StatusBar, Timer, SerialControl };

// One control as designed: positions in twips, relative to its container.
struct ControlDesign {
  const char* name;
  Kind kind;
  const char* container;  // empty: the window
  const char* caption;
  int left, top, width, height;
  int tabIndex;
  qreal pointSize;  // 0: the control keeps its default font
};

constexpr int kNoTab = -1;

// Timer1 and MSComm are invisible at run time and have no geometry.
constexpr ControlDesign kControls[] = {
    {"Frame2", Kind::Frame, "", "Device settings", 120, 120, 5295, 2415, 7, 12},
    {"nolu", Kind::TextBox, "Frame2", "nolu", 3960, 360, 1095, 360, 11, 12},
    {"switch", Kind::TextBox, "Frame2", "switch", 3960, 840, 1095, 360, 10, 12},
    {"slaveid", Kind::TextBox, "Frame2", "slaveid", 3960, 1320, 1095, 360, 9, 12},
    {"Boudrate", Kind::TextBox, "Frame2", "Boudrate", 3960, 1800, 1095, 360, 8, 12},
    {"Label1", Kind::Label, "Frame2", "Сопротивление изоляции в кОм:", 120, 360, 3855, 255, 15, 12},
    {"Label2", Kind::Label, "Frame2", "Переключятеля защиты в кОм:", 120, 840, 3855, 255, 14, 12},
    {"Label3", Kind::Label, "Frame2", "SlaveID:", 120, 1320, 3615, 255, 13, 12},
    {"Label4", Kind::Label, "Frame2", "BoudRate:", 120, 1800, 3615, 255, 12, 12},
    {"Frame1", Kind::Frame, "", "Computer settings", 5640, 240, 4215, 2295, 2, 12},
    {"ProgSlave", Kind::TextBox, "Frame1", "Text1", 2400, 1200, 1335, 375, 16, 12},
    {"ProgBoudRate", Kind::ComboBox, "Frame1", "BRate", 2400, 1680, 1335, 420, 5, 12},
    {"ProgCom", Kind::PortList, "Frame1", "Combo1", 2400, 240, 1335, 420, 3, 12},
    {"Label6", Kind::Label, "Frame1", "SlaveID:", 600, 1320, 1575, 255, 17, 12},
    {"Label5", Kind::Label, "Frame1", "BoudRate:", 600, 1800, 1575, 255, 6, 12},
    {"Label25", Kind::Label, "Frame1", "COM PORT:", 600, 360, 1575, 255, 4, 12},
    {"ProgressBar1", Kind::ProgressBar, "", "", 1320, 3360, 2175, 255, 1, 0},
    {"StatusBar1", Kind::StatusBar, "", "", 0, 3210, 10065, 495, 0, 0},
    {"Timer1", Kind::Timer, "", "", 0, 0, 0, 0, kNoTab, 0},
    {"MSComm", Kind::SerialControl, "", "", 0, 0, 0, 0, kNoTab, 0},
    {"Label7", Kind::Label, "", "Для программирования адреса и скорости обмена устройства, установите перемычку \"JP\"",
     240, 2640, 9375, 375, 18, 9.75},
};

constexpr int kClientWidth = 10065;
constexpr int kClientHeight = 3705;

// The panels' widths add up to more than the window is wide: the window's edge
// cuts panel 4 off.
constexpr int kPanelWidths[] = {1200, 2440, 400, 6400};

QWidget* MakeWidget(const ControlDesign& design, QWidget* container, std::array<QLabel*, 4>& panels) {
  const QString caption = QString::fromUtf8(design.caption);
  switch (design.kind) {
    case Kind::Frame: return new CachedGroupBox(caption, container);
    case Kind::TextBox: {
      auto* box = new QLineEdit(caption, container);
      auto* panelStyle = new CachedPanelStyle;
      panelStyle->setParent(box);
      box->setStyle(panelStyle);
      return box;
    }
    case Kind::Label: {
      auto* label = new CaptionLabel(caption, container);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case Kind::ComboBox:
    case Kind::PortList: {
      auto* list = design.kind == Kind::PortList ? new PortList(container) : new QComboBox(container);
      list->setEditable(true);
      // Typing into the field chooses nothing and adds no entry.
      list->setInsertPolicy(QComboBox::NoInsert);
      list->setEditText(caption);
      return list;
    }
    case Kind::ProgressBar: {
      auto* bar = new CachedProgressBar(container);
      bar->setRange(0, 100);
      bar->setValue(0);
      bar->setTextVisible(false);
      // Drawn in blocks, as the common-controls bar is; the block style fills
      // the whole bar, so nothing beneath it needs painting when it changes,
      // twice a tick.
      if (QStyle* blocks = QStyleFactory::create(QStringLiteral("Windows"))) {
        blocks->setParent(bar);
        bar->setStyle(blocks);
        bar->setAttribute(Qt::WA_OpaquePaintEvent);
      }
      return bar;
    }
    case Kind::StatusBar: {
      auto* bar = new QFrame(container);
      int left = 0;
      for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        const int width = TwipsToPixels(kPanelWidths[i]);
        panel->setGeometry(left, 2, width, TwipsToPixels(495) - 2);
        left += width;
        panels[i] = panel;
      }
      return bar;
    }
    case Kind::Timer:
    case Kind::SerialControl: break;
  }
  return nullptr;
}

}  // namespace

void FormMain::BuildControls() {
  setWindowTitle(QStringLiteral("NOLU"));
  setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));

  const QString family = ControlFontFamily();
  std::map<std::string_view, QWidget*> containers{{"", this}};
  std::vector<std::pair<int, QWidget*>> tabOrder;

  for (const ControlDesign& design : kControls) {
    const QString name = QString::fromUtf8(design.name);
    if (design.kind == Kind::Timer) {
      timer1_ = new QTimer(this);
      timer1_->setObjectName(name);
      controls_.push_back({name, timer1_});
      continue;
    }
    if (design.kind == Kind::SerialControl) {
      controls_.push_back({name, nullptr});
      continue;
    }
    QWidget* widget = MakeWidget(design, containers.at(design.container), panels_);
    widget->setObjectName(name);
    widget->setGeometry(TwipsRect(design.left, design.top, design.width, design.height));
    if (design.pointSize > 0) {
      QFont font(family);
      font.setPointSizeF(design.pointSize);
      widget->setFont(font);
    }
    if (design.kind == Kind::Frame) containers[design.name] = widget;
    if (widget->focusPolicy() != Qt::NoFocus) tabOrder.emplace_back(design.tabIndex, widget);
    controls_.push_back({name, widget});
  }

  std::sort(tabOrder.begin(), tabOrder.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);

  progSlave_ = findChild<QLineEdit*>(QStringLiteral("ProgSlave"));
  progBoudRate_ = findChild<QComboBox*>(QStringLiteral("ProgBoudRate"));
  auto* portList = findChild<PortList*>(QStringLiteral("ProgCom"));
  portList->SetBeforeOpening([this] { RefreshPortList(); });
  progCom_ = portList;
  progressBar1_ = findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  for (std::size_t i = 0; i < kValueBoxes.size(); ++i) {
    valueBoxes_[i] = findChild<QLineEdit*>(QString::fromUtf8(kValueBoxes[i].box));
  }
  // The bar lies over panel 2 of the status bar, which comes after it.
  progressBar1_->raise();
}

}  // namespace dornvel
