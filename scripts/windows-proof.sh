#!/usr/bin/env bash
# Proves the Windows installer and program under Wine, in a fresh Wine prefix
# on a virtual display: a silent install (/S), then the installed dornvel.exe
# polls the simulated meter on COM1 (a pseudo-terminal) at 9600 8N2 for five
# ticks with the exact frames, takes its screenshot and saves its settings in
# the registry, which is read back; then the silent uninstall removes it.
#   scripts/windows-proof.sh build-windows/dornvel-<version>-win64.exe
# Needs build-windows/host/sim/dornvel-sim (scripts/windows.sh builds it). Leaves its files in build-windows/proof/,
# the screenshot in build-windows/window-windows.png.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
installer=$(realpath "$1")
build=$top/build-windows
proof=$build/proof

if [ -z "${DORNVEL_PROOF_DISPLAY:-}" ]; then
  rm -rf "$proof"
  mkdir -p "$proof"
  # Wine draws the window on X: a display of its own, gone when this ends.
  exec env DORNVEL_PROOF_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

export PATH=/usr/lib/wine:$PATH
export WINEPREFIX=$proof/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
fail() { echo "windows-proof: $*" >&2; exit 1; }
# Wine now and then fails to start a program at all; a step is tried three times.
retry() { "$@" || "$@" || "$@"; }

sim_pid=
line_pid=
cleanup() {
  for pid in $sim_pid $line_pid; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

echo "-- a fresh Wine prefix"
retry wine64 cmd /c exit >/dev/null 2>&1 || fail "Wine does not start"

echo "-- silent install: $(basename "$installer") /S"
retry wine64 "$installer" /S || fail "the installer failed"
wineserver -w
program_dir="$WINEPREFIX/drive_c/Program Files/dornvel"
[ -f "$program_dir/bin/dornvel.exe" ] || fail "no C:\\Program Files\\dornvel\\bin\\dornvel.exe after installing"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\dornvel'
wine64 reg query "$uninstall_key" /v UninstallString 2>/dev/null | grep -q 'Uninstall.exe' ||
  fail "no uninstaller registered under $uninstall_key"
shortcut=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'dornvel.lnk' | head -1)
[ -n "$shortcut" ] || fail "no Start-menu entry"
echo "installed: $(du -sh "$program_dir" | cut -f1) in C:\\Program Files\\dornvel; Start menu: ${shortcut#"$WINEPREFIX/drive_c/"}"

echo "-- the simulated meter on COM1"
link=$proof/com1
# 2 stop bits: a request sent with one is not answered.
coproc SIM { exec "$build/host/sim/dornvel-sim" --link "$link" --stop-bits 2 --log "$proof/sim.log"; }
sim_pid=$SIM_PID
read -r -t 10 served <&"${SIM[0]}" || fail "dornvel-sim did not start"
# Wine points COM1, COM2... at this machine's own serial ports (/dev/ttyS*) at
# every start, replacing links made by hand, unless the registry names the
# device: COM1 is the simulator's line, the others name nothing, so that the
# program's scan of the ports touches no real port of this machine.
wine64 reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$link" /f >/dev/null
for n in $(seq 2 16); do
  wine64 reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /d "$proof/no-port" /f >/dev/null
done
wineserver -w
echo "COM1 -> $link -> $served"

run() { # ticks [screenshot]
  # The simulator's log of this run: what it writes from now on.
  sim_from=$(( $(wc -l <"$proof/sim.log") + 1 ))
  local began ended
  began=$(date +%s.%N)
  DORNVEL_TRACE=1 DORNVEL_QUIT_AFTER_TICKS="$1" \
    DORNVEL_SCREENSHOT="${2:+Z:$2}" TIMEFORMAT='%U %S' \
    bash -c 'time timeout 60 wine64 "C:\\Program Files\\dornvel\\bin\\dornvel.exe"' \
    >"$proof/run.out" 2>"$proof/run.err" || return 1
  ended=$(date +%s.%N)
  seconds=$(awk "BEGIN { printf \"%.1f\", $ended - $began }")
  cpu=$(tail -1 "$proof/run.err" | awk '{print $1 + $2}')
}
# Each tick reads the resistance and the switch; the device's slave id and baud
# rate are read at the first. Every request is one of these, each answered.
polled() { # ticks
  local log=$proof/run-sim.log
  tail -n +"$sim_from" "$proof/sim.log" >"$log"
  [ "$(grep -c ' RX 01 04 00 00 00 02 71 CB$' "$log")" -ge "$1" ] &&
    [ "$(grep -c ' RX 01 04 00 02 00 01 90 0A$' "$log")" -ge "$1" ] &&
    grep -q ' RX 01 03 00 00 00 01 84 0A$' "$log" && grep -q ' RX 01 03 00 01 00 01 D5 CA$' "$log" &&
    [ -z "$(grep ' RX ' "$log" | grep -Ev ' RX 01 0[34] 00 0[012] 00 0[12] [0-9A-F]{2} [0-9A-F]{2}$')" ] &&
    [ "$(grep -c ' RX ' "$log")" -eq "$(grep -c ' TX ' "$log")" ]
}

echo "-- dornvel.exe polls five ticks"
tries=0
until run 5 "$build/window-windows.png" && polled 5; do
  tries=$((tries + 1))
  [ "$tries" -lt 3 ] || { cat "$proof/run.err" "$proof/run-sim.log" >&2; fail "no five ticks with the exact frames"; }
done
grep -E ' (RX|TX) ' "$proof/run-sim.log" | head -8
echo "five ticks in $seconds s from the start of Wine, $cpu s of CPU"
awk "BEGIN { exit !($seconds <= 10) }" || fail "five ticks took $seconds s, more than 10 s"
[ -s "$build/window-windows.png" ] || fail "no screenshot"
cpu5=$cpu

echo "-- the settings it saved on closing, in the registry"
settings=$(wine64 reg query 'HKCU\Software\dornvel\dornvel\Properties' 2>/dev/null | tr -d '\r')
echo "$settings"
for expected in "ComPort *REG_SZ *Com1" "BoudRate *REG_SZ *9600" "Slave *REG_SZ *1"; do
  echo "$settings" | grep -Eq "$expected\$" || fail "registry: no '$expected'"
done

echo "-- CPU per tick: fifteen ticks against five"
retry run 15 || fail "the run of fifteen ticks failed"
polled 15 || fail "no fifteen ticks with the exact frames"
echo "CPU per tick under Wine: $(awk "BEGIN { printf \"%.3f\", ($cpu - $cpu5) / 10 }") s (dornvel.exe's process; start-up $cpu5 s with five ticks)"

# A command of the installed program without its window; standard output and
# error into the proof's folder.
command() { # name arguments...
  local name=$1
  shift
  timeout 120 wine64 "C:\\Program Files\\dornvel\\bin\\dornvel.exe" "$@" >"$proof/$name.out" 2>"$proof/$name.err"
}

echo "-- dornvel.exe --list-meters on a line of three meters (COM3)"
coproc LINE {
  exec "$build/host/sim/dornvel-sim" --link "$proof/line" --stop-bits 2 --meter 3:12.5 --meter 41 \
    --meter 200@19200:1500 --log "$proof/line.log"
}
line_pid=$LINE_PID
read -r -t 10 _ <&"${LINE[0]}" || fail "the simulated line did not start"
wine64 reg add 'HKLM\Software\Wine\Ports' /v COM3 /d "$proof/line" /f >/dev/null
wineserver -w
listed() {
  command list --list-meters --port Com3 || return 1
  tr -d '\r' <"$proof/list.out" >"$proof/list.csv"
  grep -qx 'slave_id,baud_rate,resistance_kohm,switch,state' "$proof/list.csv" &&
    grep -qx '3,9600,12.5,[0-9-]*,ok' "$proof/list.csv" && grep -q '^41,9600,.*,ok$' "$proof/list.csv" &&
    grep -qx '200,19200,1500,[0-9-]*,ok' "$proof/list.csv" && [ "$(wc -l <"$proof/list.csv")" -eq 4 ]
}
retry listed || { cat "$proof/list.out" "$proof/list.err" >&2; fail "--list-meters did not list the three meters"; }
cat "$proof/list.csv"
tail -1 "$proof/list.err" | tr -d '\r'
kill "$line_pid"
wait "$line_pid" 2>/dev/null || true
line_pid=

echo "-- dornvel.exe --assign 12 --rate 19200 on a new meter at 1 / 9600 (COM3)"
coproc LINE { exec "$build/host/sim/dornvel-sim" --link "$proof/line" --stop-bits 2 --jumper --log "$proof/assign.log"; }
line_pid=$LINE_PID
read -r -t 10 _ <&"${LINE[0]}" || fail "the simulated meter did not start"
rm -f "$proof/report.csv"
command assign --assign 12 --rate 19200 --port Com3 --report "Z:$proof/report.csv" ||
  { cat "$proof/assign.out" "$proof/assign.err" >&2; fail "--assign did not verify the meter at 12 / 19200"; }
tr -d '\r' <"$proof/report.csv" | tail -1
tr -d '\r' <"$proof/report.csv" | tail -1 | grep -q ',1,9600,12,19200,' || fail "the report has no row of 1 / 9600 given 12 / 19200"

echo "-- silent uninstall"
retry wine64 "C:\\Program Files\\dornvel\\Uninstall.exe" /S || fail "the uninstaller failed"
# It runs from a copy of itself, which removes the folder: wait for every Wine process.
wineserver -w
[ ! -e "$program_dir/bin/dornvel.exe" ] || fail "dornvel.exe is still there after uninstalling"
! wine64 reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstaller is still registered"
[ -z "$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'dornvel.lnk')" ] || fail "the Start-menu entry is still there"
echo "uninstalled: program, Start-menu entry and uninstaller entry gone; the user's settings stay"
echo "windows-proof: every check passed"
