#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the whole suite in a
# normal build, then the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc)

scripts/install-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
# Fast tests in parallel; the real-time ones alone, so their timing is not disturbed.
ctest --test-dir build --output-on-failure -j"$jobs" -L unit
ctest --test-dir build --output-on-failure -LE unit

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DDORNVEL_SANITIZE=ON -DDORNVEL_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -L unit
