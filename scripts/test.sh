#!/bin/sh
# Runs every check: static analysis, the fuzz targets (30 s each), and every
# test as a Linux program, as a Windows program under Wine, as a Linux
# program with address and undefined-behaviour checks, and against the
# programs to ship (release builds) of both targets, which must also come out
# the same bytes from a second build elsewhere. Then the demo on both targets
# and a quick run of each benchmark, which must work as the README says.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh

scripts/analyze.sh
fuzz/run.sh 30
for preset in windows asan native release-windows release-native; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
scripts/check-release.sh

scripts/demo.sh
scripts/demo.sh --windows
bench/run.sh --quick
bench/update.sh --quick
