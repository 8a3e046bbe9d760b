#!/usr/bin/env bash
# Times the disk helper against the system's tools on two generated trees, a
# browser-sized install (~1,500 files, ~250 MB) and 100,000 small files in
# one folder:
#   disk: disk_bench copy-remove (CopyTree, which leaves every file it
#         copied on stable storage, then RemoveTree of the copy)
#   cp:   cp -a SOURCE COPY && sync, then rm -rf COPY
# each run 3 times, alternating, from a dropped page cache when the machine
# allows it (else from a warm one, after an untimed run of each). Also times
# the helper's listing of the 100,000-file folder.
#
# Goals: the median copy+remove time of the helper is at most 1.3 times
# that of cp and rm on each tree, and the listing takes under 0.5 s. Exits 1
# when a goal is missed.
#
# Run from the repository root: bench/run.sh (bench/run.sh --quick: once, on
# small trees, to see that it works; see lib.sh)
# shellcheck disable=SC2317  # the time_ functions are called through alternate
set -euo pipefail

cd "$(dirname "$0")/.."
# shellcheck source=bench/lib.sh
source bench/lib.sh
runs=3
max_ratio=1.3
max_list=0.5
browser_tree=()
flat_files=100000
if [ "$quick" = 1 ]; then
    runs=1
    browser_tree=(--files 150 --megabytes 5)
    flat_files=2000
fi

make_scratch scratch
build_targets disk_bench measure

mkdir -p "$scratch/work"
make_tree "${browser_tree[@]}" "$scratch/browser"
make_tree --files "$flat_files" --flat "$scratch/flat"
choose_cache

# The timing functions work on $tree. Each prints "COPY_SECONDS
# REMOVE_SECONDS" for one copy and removal of it, or the listing's seconds.
# The helper runs inside the scratch folder, as measured commands do.
time_disk() {
    local out
    out=$(cd "$scratch" && "$bin/disk_bench" copy-remove "$tree" "$scratch/work")
    awk '{ t[$1] = $2 } END { print t["copy"], t["remove"] }' <<<"$out"
}

time_cp() {
    local copied removed
    copied=$(measure cp -a "$tree" "$scratch/work/copy" :: sync)
    removed=$(measure rm -rf "$scratch/work/copy")
    echo "${copied% *} ${removed% *}"
}

time_list() {
    local out
    out=$(cd "$scratch" && "$bin/disk_bench" list "$tree")
    awk '$1 == "list" { print $2 }' <<<"$out"
}

summary=()

measure_tree() {
    local name=$1 tool
    tree=$2
    echo
    echo "== $name: $tree"
    alternate "$runs" "$scratch/$name" 'copy %8.3f s  remove %8.3f s' time_disk time_cp
    local row=$name runs_of
    for tool in disk cp; do
        runs_of=$scratch/$name.$tool
        row+=" $(median_of "$runs_of" 1) $(median_of "$runs_of" 2) $(median_of "$runs_of" 1 2)"
    done
    summary+=("$row")
    echo "$row" | awk '{ printf "median copy+remove: disk %.3f s, cp %.3f s, ratio disk/cp %.2f\n",
                                $4, $7, $4 / $7 }'
}

measure_tree browser "$scratch/browser"
measure_tree flat "$scratch/flat"

tree=$scratch/flat
echo
echo "== list: $tree"
alternate "$runs" "$scratch/list" 'ListFiles %.3f s' time_list
list=$(median_of "$scratch/list.list" 1)

echo
echo "== summary (medians of $runs runs, seconds)"
printf '%-8s %9s %9s %9s %9s %9s %9s %7s  %s\n' tree "disk copy" "disk rm" "disk sum" \
    "cp copy" "rm -rf" "cp sum" ratio "goal <= $max_ratio"
missed=0
for row in "${summary[@]}"; do
    read -r name dc dr ds cc cr cs <<<"$row"
    verdict=$(verdict "$ds / $cs <= $max_ratio") || missed=1
    awk -v n="$name" -v dc="$dc" -v dr="$dr" -v ds="$ds" -v cc="$cc" -v cr="$cr" -v cs="$cs" \
        -v v="$verdict" 'BEGIN { printf "%-8s %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f %7.2f  %s\n",
                                        n, dc, dr, ds, cc, cr, cs, ds / cs, v }'
done
verdict=$(verdict "$list < $max_list") || missed=1
printf 'ListFiles of %d files: %.3f s  (goal < %s s: %s)\n' "$flat_files" "$list" "$max_list" \
    "$verdict"
exit "$missed"
