#!/bin/sh
# Builds the fuzz targets and runs each for a while (30 s, or the number of
# seconds given), starting from the seeds in fuzz/corpus/. The corpus in the
# repository is not changed: new inputs go to a scratch copy. A failing input
# is written to build/fuzz/ as crash-*: once the fault is fixed, keep it in
# fuzz/corpus/ so that every later run tries it first.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-30}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for target in commandline quote path delay wildcard boundary; do
    cp -r "fuzz/corpus/$target" "$scratch/$target"
    echo "== ${target}_fuzz, ${seconds} s"
    if ! "build/fuzz/bin/${target}_fuzz" -max_total_time="$seconds" -max_len=1024 \
        -artifact_prefix=build/fuzz/ "$scratch/$target" >"$scratch/$target.log" 2>&1; then
        tail -n 40 "$scratch/$target.log"
        echo "fuzz: ${target}_fuzz found a failing input (build/fuzz/crash-*)" >&2
        exit 1
    fi
    grep -E '^Done' "$scratch/$target.log"
done
