#!/bin/sh
# Builds everything and runs every test, as a Linux program and as a Windows
# program under Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh

for preset in native windows; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
