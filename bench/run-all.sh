#!/bin/sh
# Builds dornvel in Release (build-bench/) and measures it against dornvel-sim
# over a pseudo-terminal; prints one table: figure, target, measured, peer,
# result. Figures only: a FAIL here fails nothing else.
#   bench/run-all.sh           everything, with a soak of 10 minutes
#   bench/run-all.sh --quick   the soak shortened to 60 s (about 10 minutes in all)
# What each program wrote besides its rows, and the micro-benchmarks, go to
# build-bench/figures/.
set -eu
cd "$(dirname "$0")/.."

soak_seconds=600
case "${1:-}" in
  --quick) soak_seconds=60 ;;
  "") ;;
  *) echo "usage: bench/run-all.sh [--quick]" >&2; exit 2 ;;
esac

build=build-bench
logs=$build/figures
mkdir -p "$logs"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DDORNVEL_BENCHMARKS=ON >"$logs/build.log"
cmake --build "$build" -j2 --target dornvel dornvel-sim dornvel-bench dornvel-line-figures dornvel-window-figures \
  dornvel-search-figures dornvel-census-figures dornvel-trend-figures dornvel-sim-line-figures \
  dornvel-commissioning-figures dornvel-bus-figures \
  >>"$logs/build.log" 2>&1 || { tail -n 30 "$logs/build.log" >&2; exit 1; }

rows=$logs/rows.tsv
: >"$rows"
# Runs one figure program; a program that dies leaves a FAIL row that says how.
figures() {
  name=$1
  shift
  status=0
  "$build/bench/$@" >>"$rows" 2>"$logs/$name.log" || status=$?
  if [ "$status" -ne 0 ]; then
    printf '%s\t-\tended with status %s (see %s)\t-\tFAIL\n' "$*" "$status" "$logs/$name.log" >>"$rows"
  fi
}

echo "measuring; this takes about $(( (680 + soak_seconds) / 60 )) minutes" >&2
"$build/bench/dornvel-bench" >"$logs/micro-benchmarks.txt" 2>&1 || true
figures line dornvel-line-figures
figures polling dornvel-window-figures polling 1000
# Every 4th request answered wrongly, for 12 s each.
for fault in silence delay bad-crc foreign exception split short babble hangup; do
  figures "fault-$fault" dornvel-window-figures fault "$fault" every:4 12
done
figures soak dornvel-window-figures soak "$soak_seconds"
figures search dornvel-search-figures
figures sim-line dornvel-sim-line-figures
figures census dornvel-census-figures
figures commissioning dornvel-commissioning-figures
figures bus dornvel-bus-figures
figures trend dornvel-trend-figures "$logs/trend.png"

# One Markdown table, columns padded to their widest cell.
awk -F '\t' '
  BEGIN { n = 1; cell[1, 1] = "figure"; cell[1, 2] = "target"; cell[1, 3] = "measured";
          cell[1, 4] = "peer"; cell[1, 5] = "result" }
  { n++; for (c = 1; c <= 5; c++) cell[n, c] = $c }
  END {
    for (r = 1; r <= n; r++) for (c = 1; c <= 5; c++) if (length(cell[r, c]) > w[c]) w[c] = length(cell[r, c])
    for (r = 1; r <= n; r++) {
      line = "|"
      for (c = 1; c <= 5; c++) line = line sprintf(" %-*s |", w[c], cell[r, c])
      print line
      if (r == 1) {
        line = "|"
        for (c = 1; c <= 5; c++) { dashes = sprintf("%*s", w[c] + 2, ""); gsub(/ /, "-", dashes); line = line dashes "|" }
        print line
      }
    }
  }' "$rows"
