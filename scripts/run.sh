#!/usr/bin/env bash
# Installs what is missing, builds and runs dornvel. Unless DORNVEL_COM1 names a
# device, Com1 is the simulated meter (dornvel-sim), stopped again when the window
# closes; the demo then keeps its settings apart from the real ones. Without a
# display it runs under Xvfb, saves a screenshot after a few polls and exits.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target dornvel dornvel-sim

if [ -z "${DORNVEL_COM1:-}" ]; then
  link="$top/build/dornvel-com1"
  coproc SIM { exec build/sim/dornvel-sim --link "$link" --jumper --log "$top/build/dornvel-sim.log"; }
  trap 'kill "$SIM_PID" 2>/dev/null || true; wait "$SIM_PID" 2>/dev/null || true' EXIT
  # The simulator prints its pseudo-terminal's path once it serves.
  read -r -t 10 served <&"${SIM[0]}" || { echo "dornvel-sim did not start" >&2; exit 1; }
  echo "Simulated meter on $served (Com1); traffic log: build/dornvel-sim.log"
  export DORNVEL_COM1="$link"
  export XDG_CONFIG_HOME="$top/build/demo-config"
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  build/src/app/dornvel
else
  shot="$top/build/window.png"
  DORNVEL_QUIT_AFTER_TICKS=5 DORNVEL_SCREENSHOT="$shot" xvfb-run -a build/src/app/dornvel
  echo "No display here: dornvel polled 5 times under Xvfb; screenshot of the window: $shot"
fi
