#!/usr/bin/env bash
# Times the disk helper against the system's tools on two generated trees, a
# browser-sized install (~1,500 files, ~250 MB) and 100,000 small files in
# one folder:
#   disk: disk_bench copy-remove (CopyTree, then RemoveTree of the copy)
#   cp:   cp -a SOURCE COPY, then rm -rf COPY
# each run 3 times, alternating, from a dropped page cache when the machine
# allows it (else from a warm one, after an untimed run of each). Also times
# the helper's listing of the 100,000-file folder.
#
# Goals: the median copy+remove time of the helper is at most 1.3 times
# that of cp and rm on each tree, and the listing takes under 0.5 s. Exits 1
# when a goal is missed.
#
# Run from the repository root: bench/run.sh
set -euo pipefail
export LC_ALL=C

cd "$(dirname "$0")/.."
build=build/bench
scratch=$PWD/$build/scratch
generator=../shared/bench/make-update-tree
runs=3
max_ratio=1.3
max_list=0.5

rm -rf "$scratch"
trap 'rm -rf "$scratch"' EXIT
trap 'exit 130' INT TERM

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVREL_BENCH=ON \
    -DTAVREL_TESTS=OFF >/dev/null
cmake --build "$build" --target disk_bench >/dev/null
bench=$PWD/$build/bin/disk_bench

mkdir -p "$scratch/work"
"$generator" "$scratch/browser"
"$generator" --files 100000 --flat "$scratch/flat"

if (sync && echo 3 >/proc/sys/vm/drop_caches) 2>/dev/null; then
    cold=1
    echo "page cache: dropped before each timed run"
else
    cold=0
    echo "page cache: cannot be dropped here; warm, after one untimed run of each"
fi

settle() {
    sync
    if [ "$cold" = 1 ]; then
        echo 3 >/proc/sys/vm/drop_caches
    fi
}

seconds_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f", b - a }'; }

# Each prints "COPY_SECONDS REMOVE_SECONDS" for one copy and removal of $1.
# The helper runs inside the scratch folder, so that nothing it does relative
# to its current directory lands in the repository.
time_disk() {
    local out
    out=$(cd "$scratch" && "$bench" copy-remove "$1" "$scratch/work")
    awk '{ t[$1] = $2 } END { print t["copy"], t["remove"] }' <<<"$out"
}

time_cp() {
    local start copied removed
    start=$EPOCHREALTIME
    cp -a "$1" "$scratch/work/copy"
    copied=$EPOCHREALTIME
    rm -rf "$scratch/work/copy"
    removed=$EPOCHREALTIME
    echo "$(seconds_between "$start" "$copied") $(seconds_between "$copied" "$removed")"
}

time_list() {
    local out
    out=$(cd "$scratch" && "$bench" list "$1")
    awk '$1 == "list" { print $2 }' <<<"$out"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Column $2 (1 copy, 2 remove, 3 both) of the runs in file $1, as a median.
median_of() { awk -v c="$2" '{ print c == 3 ? $1 + $2 : $c }' "$1" | median; }

summary=()

measure_tree() {
    local name=$1 source=$2 i
    echo
    echo "== $name: $source"
    if [ "$cold" = 0 ]; then
        time_disk "$source" >/dev/null
        time_cp "$source" >/dev/null
    fi
    : >"$scratch/$name.disk"
    : >"$scratch/$name.cp"
    for ((i = 1; i <= runs; i++)); do
        settle
        time_disk "$source" | tee -a "$scratch/$name.disk" | awk -v i="$i" \
            '{ printf "run %d  disk  copy %8.3f s  remove %8.3f s\n", i, $1, $2 }'
        settle
        time_cp "$source" | tee -a "$scratch/$name.cp" | awk -v i="$i" \
            '{ printf "run %d  cp    copy %8.3f s  remove %8.3f s\n", i, $1, $2 }'
    done
    local row=$name
    for tool in disk cp; do
        for column in 1 2 3; do
            row+=" $(median_of "$scratch/$name.$tool" "$column")"
        done
    done
    summary+=("$row")
    echo "$row" | awk '{ printf "median copy+remove: disk %.3f s, cp %.3f s, ratio disk/cp %.2f\n",
                                $4, $7, $4 / $7 }'
}

measure_tree browser "$scratch/browser"
measure_tree flat "$scratch/flat"

echo
echo "== list: $scratch/flat"
if [ "$cold" = 0 ]; then
    time_list "$scratch/flat" >/dev/null
fi
: >"$scratch/list"
for ((i = 1; i <= runs; i++)); do
    settle
    time_list "$scratch/flat" | tee -a "$scratch/list" | awk -v i="$i" \
        '{ printf "run %d  ListFiles %.3f s\n", i, $1 }'
done
list=$(median <"$scratch/list")

echo
echo "== summary (medians of $runs runs, seconds)"
printf '%-8s %9s %9s %9s %9s %9s %9s %7s  %s\n' tree "disk copy" "disk rm" "disk sum" \
    "cp copy" "rm -rf" "cp sum" ratio "goal <= $max_ratio"
missed=0
for row in "${summary[@]}"; do
    read -r name dc dr ds cc cr cs <<<"$row"
    if awk -v d="$ds" -v c="$cs" -v m="$max_ratio" 'BEGIN { exit !(d / c <= m) }'; then
        verdict=met
    else
        verdict=MISSED
        missed=1
    fi
    awk -v n="$name" -v dc="$dc" -v dr="$dr" -v ds="$ds" -v cc="$cc" -v cr="$cr" -v cs="$cs" \
        -v v="$verdict" 'BEGIN { printf "%-8s %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f %7.2f  %s\n",
                                        n, dc, dr, ds, cc, cr, cs, ds / cs, v }'
done
if awk -v l="$list" -v m="$max_list" 'BEGIN { exit !(l < m) }'; then
    verdict=met
else
    verdict=MISSED
    missed=1
fi
printf 'ListFiles of 100,000 files: %.3f s  (goal < %s s: %s)\n' "$list" "$max_list" "$verdict"
exit "$missed"
