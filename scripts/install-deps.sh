#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running dornvel need,
# only those that are missing (as root, or through sudo). Further packages named
# on the command line are installed with them (scripts/windows.sh names its own).
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-serialport-dev
  # Debian's Qt Charts needs the Qt OpenGL files but does not pull them in.
  qt6-charts-dev libqt6opengl6-dev
  # Linguist tools for the translations (lrelease, lupdate, qt_add_translations),
  # and Qt's own Russian texts (qtbase_ru.qm) for standard buttons and dialogs.
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  libgtest-dev libbenchmark-dev
  libmodbus-dev mbpoll
  clang libclang-rt-14-dev clang-format
  xvfb xauth fonts-dejavu-core
  help2man dpkg-dev lintian desktop-file-utils appstream file
  # pdftotext and pdftoppm: the commissioning report's PDF read back, and its picture.
  poppler-utils
  g++-mingw-w64-x86-64-posix wine64 googletest
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
