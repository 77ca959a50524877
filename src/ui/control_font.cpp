#include "ui/control_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace dornvel {

QString ControlFontFamily() {
  const QString designFamily = QStringLiteral("MS Sans Serif");
  if (QFontDatabase::families().contains(designFamily)) return designFamily;
  // The labels were sized for the narrow letters of the design's font: the
  // narrower families come first, so that "Сопротивление изоляции в кОм:" fits.
  const QStringList cyrillic = QFontDatabase::families(QFontDatabase::Cyrillic);
  for (const char* sans : {"Liberation Sans", "Arial", "DejaVu Sans Condensed", "Noto Sans", "DejaVu Sans"}) {
    if (cyrillic.contains(QLatin1String(sans))) return QLatin1String(sans);
  }
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

}  // namespace dornvel
