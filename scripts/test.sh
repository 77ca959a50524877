#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the whole suite in a
# normal build (with the check of the Debian packages), the unit tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer, and a minute of
# fuzzing the reply handling. The Windows side, the unit tests under Wine
# included, is scripts/windows.sh's.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc)

scripts/install-deps.sh

# The sources stay as .clang-format lays them out.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

# Unoptimised and without debug information: the tests build fastest so, and
# none of them measures speed.
cmake -S . -B build-test -DCMAKE_BUILD_TYPE= -DDORNVEL_BENCHMARKS=OFF >/dev/null
cmake --build build-test -j"$jobs"
# Fast tests in parallel; the real-time ones alone, so their timing is not disturbed.
ctest --test-dir build-test --output-on-failure -j"$jobs" -L unit

# The real-time tests mostly wait on the line: meanwhile the builds for the
# sanitizers and for fuzzing take the cores at the lowest priority, which
# leaves the tests what little CPU they ask for at once.
side_log=$top/build-test/side-builds.log
(
  nice -n 19 cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" \
    -DDORNVEL_SANITIZE=ON -DDORNVEL_BENCHMARKS=OFF &&
    nice -n 19 cmake --build build-asan -j"$jobs" --target unit_tests &&
    # libFuzzer needs clang; without Qt: the reply handling and the harness's
    # fakes are all it needs.
    nice -n 19 cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DDORNVEL_FUZZ=ON -DDORNVEL_SANITIZE=ON -DDORNVEL_BENCHMARKS=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON &&
    nice -n 19 cmake --build build-fuzz -j"$jobs" --target reply_fuzzer
) >"$side_log" 2>&1 &
side=$!
ctest --test-dir build-test --output-on-failure -LE unit
wait "$side" || { tail -n 40 "$side_log"; echo "the sanitizer or fuzzing build failed: $side_log"; exit 1; }

ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -L unit

# The fuzzer starts from the seed replies and keeps what it finds in
# build-fuzz/corpus for the next run.
mkdir -p build-fuzz/corpus build-fuzz/findings
build-fuzz/tests/fuzz/reply_fuzzer -max_total_time="${DORNVEL_FUZZ_SECONDS:-60}" -timeout=10 \
  -artifact_prefix=build-fuzz/findings/ -print_final_stats=1 build-fuzz/corpus tests/fuzz/corpus 2>&1 |
  grep -E '^(stat::number_of_executed_units|stat::new_units_added|Done|==.*ERROR|SUMMARY)' || true
if ls build-fuzz/findings/crash-* build-fuzz/findings/timeout-* >/dev/null 2>&1; then
  echo "fuzzing found inputs that break the reply handling: build-fuzz/findings/"
  exit 1
fi
