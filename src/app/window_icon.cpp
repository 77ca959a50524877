#include "app/window_icon.h"

#include <QDirIterator>

namespace dornvel {

QIcon WindowIcon() {
  QIcon icon;
  QDirIterator sizes(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
  while (sizes.hasNext()) icon.addFile(sizes.next());
  return icon;
}

}  // namespace dornvel
