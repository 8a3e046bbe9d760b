#!/usr/bin/env bash
# Times the launcher on Linux against the system's tools, side by side:
#
# update: applying a browser-sized staged update (~1,500 files, ~250 MB, 120
#   folders, over an old data folder of the same shape) by running the
#   launcher, start to exit, against
#       cp -a TavrelData/update/. TavrelData/ && rm -rf TavrelData/update
#   each on a fresh install copied beforehand, 5 runs alternating, from a
#   dropped page cache when the machine allows it (else warm, after an
#   untimed run of each). Wall time and peak memory (for cp and rm, the
#   larger of the two).
# start: the launcher with no update waiting, start to exit (the browser
#   started), against the browser started directly, 20 runs alternating, warm.
#
# Goals for the update: the launcher's median wall time is at most 1.15 times
# that of cp and rm, its median peak memory at most 2 times theirs. Exits 1
# when a goal is missed. The start has no goal.
#
# Run from the repository root: bench/update.sh
# shellcheck disable=SC2317  # the time_ functions are called through alternate
set -euo pipefail

cd "$(dirname "$0")/.."
# shellcheck source=bench/lib.sh
source bench/lib.sh
update_runs=5
start_runs=20
max_time_ratio=1.15
max_memory_ratio=2

make_scratch scratch-update
build_targets launcher standin_browser measure

# What each update run starts from: the launcher, the old data folder with
# the stand-in as browser and a post-upgrade program, and the staged update
# with the stand-in as its browser.
template=$scratch/template
make_tree --seed 1 "$template/TavrelData"
make_tree --seed 2 "$template/TavrelData/update"
install -m 755 "$bin/launcher" "$template/launcher"
for program in TavrelData/Tavrel.exe TavrelData/TavrelPostUpgrade.exe \
    TavrelData/update/Tavrel.exe; do
    install -m 755 "$bin/standin_browser" "$template/$program"
done
choose_cache

# Waits up to 5 s for the record that the browser started from data folder
# $1 leaves, and removes it; fails when none comes.
browser_started() {
    local record=$1/launch-record.txt tries
    for ((tries = 0; tries < 500; tries++)); do
        if [ -e "$record" ]; then
            rm "$record"
            return 0
        fi
        sleep 0.01
    done
    echo "update.sh: the browser in $1 did not start" >&2
    return 1
}

# The timing functions each print "SECONDS PEAK_KB" for one run.
time_launcher() {
    local install=$scratch/launcher
    rm -rf "$install"
    cp -a "$template" "$install"
    settle
    measure "$install/launcher"
    browser_started "$install/TavrelData"
    local left
    for left in update update-applied TavrelPostUpgrade.exe; do
        if [ -e "$install/TavrelData/$left" ]; then
            echo "update.sh: the launcher left TavrelData/$left behind" >&2
            return 1
        fi
    done
}

time_cp() {
    local data=$scratch/cp/TavrelData
    rm -rf "$scratch/cp"
    cp -a "$template" "$scratch/cp"
    settle
    measure cp -a "$data/update/." "$data/" :: rm -rf "$data/update"
}

echo
echo "== update: $template"
alternate "$update_runs" "$scratch/update" '%8.3f s  peak %6d KB' time_launcher time_cp
# Both ways leave the same data folder; cp keeps the post-upgrade program.
diff -rq --exclude=TavrelPostUpgrade.exe "$scratch/launcher/TavrelData" "$scratch/cp/TavrelData"
rm -rf "$scratch/launcher" "$scratch/cp"

start=$scratch/start
mkdir -p "$start/TavrelData"
install -m 755 "$bin/launcher" "$start/launcher"
install -m 755 "$bin/standin_browser" "$start/TavrelData/Tavrel.exe"

time_launcher_start() {
    measure "$start/launcher"
    browser_started "$start/TavrelData"
}

time_browser() {
    measure "$start/TavrelData/Tavrel.exe"
    browser_started "$start/TavrelData"
}

echo
echo "== start: $start"
# Warm: the start of a program, not the reading of it from disk, is timed.
cold=0 alternate "$start_runs" "$scratch/start" '%8.4f s' time_launcher_start time_browser

launcher_s=$(median_of "$scratch/update.launcher" 1)
launcher_kb=$(median_of "$scratch/update.launcher" 2)
cp_s=$(median_of "$scratch/update.cp" 1)
cp_kb=$(median_of "$scratch/update.cp" 2)
start_s=$(median_of "$scratch/start.launcher_start" 1)
browser_s=$(median_of "$scratch/start.browser" 1)

missed=0
time_verdict=$(verdict "$launcher_s / $cp_s <= $max_time_ratio") || missed=1
memory_verdict=$(verdict "$launcher_kb / $cp_kb <= $max_memory_ratio") || missed=1

echo
echo "== update (medians of $update_runs runs)"
printf '%-10s %10s %10s %7s  %s\n' "" launcher "cp + rm" ratio goal
awk -v ls="$launcher_s" -v cs="$cp_s" -v lk="$launcher_kb" -v ck="$cp_kb" \
    -v mt="$max_time_ratio" -v mm="$max_memory_ratio" -v vt="$time_verdict" \
    -v vm="$memory_verdict" 'BEGIN {
        printf "%-10s %8.3f s %8.3f s %7.2f  <= %s: %s\n", "wall", ls, cs, ls / cs, mt, vt
        printf "%-10s %7d KB %7d KB %7.2f  <= %s: %s\n", "peak mem", lk, ck, lk / ck, mm, vm
    }'
echo
echo "== start (medians of $start_runs runs, no goal)"
awk -v l="$start_s" -v b="$browser_s" 'BEGIN {
        printf "launcher %.2f ms, browser directly %.2f ms: ratio %.2f, launcher adds %.2f ms\n",
               l * 1000, b * 1000, l / b, (l - b) * 1000
    }'
exit "$missed"
