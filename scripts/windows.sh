#!/usr/bin/env bash
# The whole Windows side, on Debian: installs what is missing, builds Qt for
# Windows once (scripts/windows-qt.sh, cached), builds dornvel.exe, its tests
# and its packages into build-windows/, runs the tests under Wine, and proves
# the installed program against the simulated meter (scripts/windows-proof.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc)
start=$(date +%s)
step() { echo "== $* ($(( $(date +%s) - start )) s)"; }

# nsis: makensis for the installer. ninja-build: the preset's generator and
# Qt's. qt6-base-dev-tools: the host's moc, rcc and uic, which the cross build
# uses; qt6-l10n-tools: lrelease, for translations. xz-utils and perl: Qt's
# archives and its build.
scripts/install-deps.sh nsis ninja-build qt6-base-dev-tools qt6-l10n-tools xz-utils perl

step "Qt for Windows"
DORNVEL_QT_WINDOWS=$(scripts/windows-qt.sh)
export DORNVEL_QT_WINDOWS

step "dornvel.exe and its tests"
cmake --preset windows >/dev/null
# The build lists each test program's tests by running it under Wine, which
# now and then fails to start; a second build redoes only what failed.
cmake --build --preset windows -j"$jobs" || cmake --build --preset windows -j"$jobs"

step "tests under Wine"
# Wine now and then fails to start a program at all ("wine client error:
# recvmsg: Connection reset by peer", or no output in 0.01 s: twice in about
# twenty runs here), so a failing test is tried again, up to three times. The
# tests are deterministic and run natively and under the sanitizers too, where
# nothing is repeated; a real fault fails every try.
# Left out, and why:
#  - six window tests measure text in the window's font, three layout tests
#    and three whose values must fit their box (a number too wide for it is
#    shown shorter): Qt's offscreen platform has no fonts on Windows, so under
#    Wine they see no font at all; the proof below shows the window with its
#    Cyrillic font and its values on Wine's own platform.
#  - a recording test of files that cannot be written takes its cases from
#    POSIX: /dev/full, and the system's wording of each reason.
#  - the commissioning window's test reads its PDF back with poppler's
#    pdftotext, a program of this machine that Wine's programs cannot start.
unsupported='^(Layout\.(each_box_sits_on_the_row|text_controls_use_a_cyrillic|every_label_caption_fits)'
unsupported+='|PollingDisplay\.a_number_too_wide|PollingTest\.a_value_the_tag_cannot_encode'
unsupported+='|Reconfigure\.a_new_value_reaches_the_line_on_the_next_tick'
unsupported+='|ToolsTest\.a_file_that_cannot_be_written|ToolsTest\.the_commissioning_window_gives_two_meters_in_a_row)'
ctest --test-dir build-windows --output-on-failure -j"$jobs" --repeat until-pass:3 -E "$unsupported"

step "installer and ZIP"
(cd build-windows && cpack -G "NSIS;ZIP" >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)
ls -l build-windows/dornvel.exe "build-windows/dornvel-$version-win64.exe" "build-windows/dornvel-$version-win64.zip"

step "the simulator, for this machine"
# Only the simulator: no Qt, no tests.
cmake -S . -B build-windows/host -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >/dev/null
cmake --build build-windows/host -j"$jobs" --target dornvel-sim >/dev/null

step "the installed program under Wine against the simulated meter"
scripts/windows-proof.sh "build-windows/dornvel-$version-win64.exe"

step "done"
