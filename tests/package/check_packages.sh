#!/usr/bin/env bash
# Makes the Debian packages in a build folder and checks them as a user's
# machine sees them: lintian, desktop-file-validate and appstreamcli judge them,
# their files are where a desktop looks for them, and the program unpacked from
# its package (not installed) polls the simulator unpacked from its package for
# one tick on Qt's offscreen platform.
#   check_packages.sh CPACK BUILD_DIR VERSION
# Exit status 77 (skipped) when a tool it needs is missing.
set -euo pipefail
cpack=$1 build=$2 version=$3

for tool in dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli file; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing (scripts/install-deps.sh installs it)"; exit 77; }
done

tmp=$(mktemp -d)
sim_pid=
cleanup() {
  [ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

echo "== cpack"
(cd "$build" && "$cpack" -G DEB) >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; exit 1; }
arch=$(dpkg --print-architecture)
program_deb=$build/dornvel_${version}_${arch}.deb
sim_deb=$build/dornvel-sim_${version}_${arch}.deb
for deb in "$program_deb" "$sim_deb"; do
  [ -f "$deb" ] || { cat "$tmp/cpack.log"; echo "FAILED: cpack made no $deb"; exit 1; }
done

echo "== lintian"
# Errors and warnings fail; the informational tags it prints are explained in
# docs/packaging.md.
lintian --fail-on error,warning --display-info "$program_deb" "$sim_deb" || fail "lintian"

echo "== dependencies found from the binaries"
depends_on() {
  dpkg-deb -f "$1" Depends | tr ',' '\n' | grep -q "^ *$2 (>= " || fail "$(basename "$1") does not depend on $2"
}
for library in libqt6widgets6 libqt6serialport6 libc6; do depends_on "$program_deb" "$library"; done
for library in libmodbus5 libc6; do depends_on "$sim_deb" "$library"; done
for deb in "$program_deb" "$sim_deb"; do
  for field in Maintainer Section Description; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "$(basename "$deb") has no $field"
  done
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$(basename "$deb") is not version $version"
done

echo "== files where the desktop looks for them"
root=$tmp/root
dpkg-deb -x "$program_deb" "$root"
dpkg-deb -x "$sim_deb" "$root"
metainfo=$(find "$root/usr/share/metainfo" -name '*.metainfo.xml')
for path in usr/bin/dornvel usr/bin/dornvel-sim usr/share/applications/dornvel.desktop \
  usr/share/icons/hicolor/scalable/apps/dornvel.svg \
  usr/share/man/man1/dornvel.1.gz usr/share/man/man1/dornvel-sim.1.gz \
  usr/share/doc/dornvel/copyright usr/share/doc/dornvel/changelog.gz \
  usr/share/doc/dornvel-sim/copyright usr/share/doc/dornvel-sim/changelog.gz; do
  [ -e "$root/$path" ] || fail "no $path in the packages"
done
for size in 16 22 24 32 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/dornvel.png
  file "$png" | grep -q "PNG image data, $size x $size," || fail "the ${size}x${size} icon is not a $size x $size PNG"
done
desktop=$root/usr/share/applications/dornvel.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=dornvel' "$desktop" || fail "the menu entry does not start dornvel"
grep -qx 'Icon=dornvel' "$desktop" || fail "the menu entry does not show the dornvel icon"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream metadata does not name release $version"
grep -q '<launchable type="desktop-id">dornvel.desktop</launchable>' "$metainfo" ||
  fail "the AppStream metadata does not launch dornvel.desktop"
for page in dornvel dornvel-sim; do
  zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH ${page^^} \"1\"" || fail "$page.1 is not a section 1 page"
done

echo "== the unpacked program polls the unpacked simulator"
[ "$("$root/usr/bin/dornvel" --version)" = "dornvel $version" ] || fail "dornvel --version does not say $version"
coproc SIM { exec "$root/usr/bin/dornvel-sim" --link "$tmp/com1" --resistance 12.5 --switch 3 --log "$tmp/sim.log" 2>"$tmp/sim.err"; }
sim_pid=$SIM_PID
# The simulator prints its pseudo-terminal's path once it serves.
read -r -t 10 served <&"${SIM[0]}" || { cat "$tmp/sim.err"; echo "FAILED: dornvel-sim did not start"; exit 1; }
echo "dornvel-sim serves on $served"
ports=()
for n in $(seq 2 16); do ports+=("DORNVEL_COM$n=$tmp/no-such-port"); done
mkdir -m 700 "$tmp/runtime"
status=0
env -u DORNVEL_SCREENSHOT -u DORNVEL_TRACE QT_QPA_PLATFORM=offscreen DORNVEL_QUIT_AFTER_TICKS=1 \
  XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/runtime" DORNVEL_COM1="$tmp/com1" "${ports[@]}" \
  timeout 30 "$root/usr/bin/dornvel" 2>"$tmp/dornvel.err" || status=$?
[ "$status" -eq 0 ] || { cat "$tmp/dornvel.err"; fail "dornvel exited with status $status"; }
kill -TERM "$sim_pid"
sim_status=0
wait "$sim_pid" || sim_status=$?
sim_pid=
[ "$sim_status" -eq 0 ] || fail "dornvel-sim exited with status $sim_status"
counters=$(grep -o 'requests=[0-9]* answered=[0-9]*' "$tmp/sim.err" || true)
echo "dornvel-sim: $counters"
# One tick reads the four values: the resistance, the switch, the slave id and the baud rate.
[[ "$counters" =~ ^requests=([0-9]+)\ answered=([0-9]+)$ ]] && [ "${BASH_REMATCH[1]}" -ge 4 ] &&
  [ "${BASH_REMATCH[2]}" -eq "${BASH_REMATCH[1]}" ] || fail "dornvel-sim did not answer four requests or more"
# The read of the resistance (input registers 0-1 of slave 1) and the meter's 12.5 kilohms.
grep -q ' RX 01 04 00 00 00 02 71 CB$' "$tmp/sim.log" || fail "no read of the resistance in the simulator's log"
grep -q ' TX 01 04 04 00 00 41 48 ' "$tmp/sim.log" || fail "no reply of 12.5 kilohms in the simulator's log"
grep -qx 'ComPort=Com1' "$tmp/config/dornvel/dornvel.ini" 2>/dev/null ||
  fail "dornvel did not save its settings in XDG_CONFIG_HOME"

if [ "$failures" -ne 0 ]; then
  echo "simulator's log:"; cat "$tmp/sim.log"
  exit 1
fi
echo "packages $(basename "$program_deb") and $(basename "$sim_deb") pass"
