#!/usr/bin/env bash
# Builds Qt 6.4.2 for 64-bit Windows (static, Release, MinGW-w64 with posix
# threads) from source archives on this machine: qtbase, then qtserialport and
# qtcharts against it. Debian packages no Qt for MinGW. The result is kept in
# a prefix outside the build folders and rebuilt only when its stamp (the
# configure line and the archives' checksums) changes. Prints the prefix.
#
#   DORNVEL_QT_SOURCES  folder with the three archives and SHA256SUMS
#                       (default: ../shared/third_party/qt-6.4.2 beside the repo)
#   DORNVEL_QT_WINDOWS  where Qt goes (default: ~/.cache/dornvel/qt-6.4.2-mingw-w64)
#   DORNVEL_QT_PREBUILT folder with prefix.tar.xz and its SHA256SUMS, a packed
#                       prefix of this script's making; unpacked instead of
#                       building when its stamp is the one below (default:
#                       ../shared/third_party/qt-6.4.2-mingw-w64 beside the repo)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

version=6.4.2
sources=${DORNVEL_QT_SOURCES:-$top/../shared/third_party/qt-$version}
prefix=${DORNVEL_QT_WINDOWS:-$HOME/.cache/dornvel/qt-$version-mingw-w64}
prebuilt=${DORNVEL_QT_PREBUILT:-$top/../shared/third_party/qt-$version-mingw-w64}
scratch=${prefix}.build
jobs=${DORNVEL_JOBS:-$(nproc)}

archives=(
  "qt6-base_$version+dfsg.orig.tar.xz"
  "qtserialport-everywhere-src-$version.tar.xz"
  "qtcharts-everywhere-src-$version.tar.xz"
)
for a in "${archives[@]}"; do
  if [ ! -f "$sources/$a" ]; then
    {
      echo "Qt $version for Windows is built from source and its archives are missing."
      echo "Put these three files (with their SHA256SUMS) into $sources,"
      echo "or name another folder in DORNVEL_QT_SOURCES:"
      echo "  ${archives[0]}  (Debian's qtbase source, package qt6-base)"
      echo "  ${archives[1]}  (Qt's qtserialport, tag v$version)"
      echo "  ${archives[2]}  (Qt's qtcharts, tag v$version)"
    } >&2
    exit 1
  fi
done

# The toolchain stays in the prefix: Qt's own toolchain file, which the
# program's build uses, loads it from there.
read -r -d '' toolchain <<'EOF' || true
# MinGW-w64 with posix threads, for Qt and what is built against it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

# What the program does not use is left out; the Windows platform plugin of
# 6.4.2 needs OpenGL, and Debian's qtbase archive has no src/3rdparty/wintab,
# which tablet events need. Third-party libraries are Qt's bundled ones, so
# nothing from the MinGW root (its zlib is a DLL) ends up beside the program.
options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
  -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF
  -DFEATURE_pkg_config=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_zstd=OFF
)
stamp=$(
  printf '%s\n' "$toolchain" "${options[@]}"
  (cd "$sources" && grep -F -e "${archives[0]}" -e "${archives[1]}" -e "${archives[2]}" SHA256SUMS)
)
if [ -f "$prefix/dornvel-stamp" ] && [ "$(cat "$prefix/dornvel-stamp")" = "$stamp" ]; then
  echo "$prefix"
  exit 0
fi

# A packed prefix made by this script with the same stamp is the same build:
# unpacking it takes seconds where building takes most of an hour.
packed_stamp() {
  [ -f "$prebuilt/prefix.tar.xz" ] || return 1
  tar -xJOf "$prebuilt/prefix.tar.xz" "qt-$version-mingw-w64/dornvel-stamp" 2>/dev/null
}
if [ "$(packed_stamp || true)" = "$stamp" ]; then
  (cd "$prebuilt" && sha256sum --quiet -c SHA256SUMS) >&2
  echo "Unpacking Qt $version for Windows from $prebuilt into $prefix" >&2
  rm -rf "$prefix" "$scratch"
  mkdir -p "$prefix"
  tar -xJf "$prebuilt/prefix.tar.xz" -C "$prefix" --strip-components=1
  echo "$prefix"
  exit 0
fi

(cd "$sources" && grep -F -e "${archives[0]}" -e "${archives[1]}" -e "${archives[2]}" SHA256SUMS |
  sha256sum --quiet -c -) >&2

echo "Building Qt $version for Windows into $prefix (about 35 min on 2 cores)" >&2
start=$(date +%s)
rm -rf "$prefix" "$scratch"
mkdir -p "$prefix" "$scratch"
printf '%s\n' "$toolchain" >"$prefix/mingw-w64.cmake"

unpack() { # archive folder
  mkdir -p "$scratch/$2"
  tar -xf "$sources/$1" -C "$scratch/$2" --strip-components=1
}
# Low priority: the machine is shared, and the build takes half an hour.
build() { nice -n 10 cmake --build "$1" -j"$jobs" >&2 && cmake --install "$1" >&2; }

unpack "${archives[0]}" qtbase
cmake -S "$scratch/qtbase" -B "$scratch/build-qtbase" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
  "${options[@]}" >&2
build "$scratch/build-qtbase"

for module in qtserialport qtcharts; do
  case $module in
    qtserialport) unpack "${archives[1]}" $module ;;
    qtcharts) unpack "${archives[2]}" $module ;;
  esac
  mkdir -p "$scratch/build-$module"
  (cd "$scratch/build-$module" && "$prefix/bin/qt-configure-module" "$scratch/$module" >&2)
  build "$scratch/build-$module"
done

printf '%s\n' "$stamp" >"$prefix/dornvel-stamp"
rm -rf "$scratch"
echo "Qt $version for Windows built in $(( ($(date +%s) - start) / 60 )) min" >&2
echo "$prefix"
