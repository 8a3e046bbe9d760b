#!/usr/bin/env bash
# Times the launcher on Linux against the system's tools, side by side:
#
# update: applying a staged update over an old data folder, on three trees:
#   browser, browser-sized (~1,500 files, ~250 MB, 120 folders) over one of
#   the same shape; flat, 100,000 small files in one folder over as many of
#   the same names; added, as many over 2,000 of them (98,000 added). They
#   go on a file system of the benchmark's own, made as a desktop's is: ext4
#   with its journal, freed blocks trimmed later rather than at each deletion
#   (the defaults of mkfs.ext4 and mount), in an image on the build tree's
#   disk mounted through a loop device; where that cannot be made (not root,
#   no loop devices), on the build tree's disk, which it says. browser-host
#   is the browser tree once more, on the build tree's disk, without a time
#   goal: a disk mounted otherwise (a virtual machine's without a journal,
#   that trims every freed extent at once) shows there what it costs. Five
#   ways, each start to exit:
#     launcher           the launcher: every staged file linked (or, where
#                        it cannot be, copied) beside its target, on stable
#                        storage before it takes its place, and the update
#                        removed once all is in place and durable;
#     launcher_no_flush  the same launcher without its waits for stable
#                        storage: what the temporaries and renames cost;
#     cp_sync_rm         cp -a update/. data/ && sync && rm -rf update: the
#                        durable peer;
#     cp_rm              cp -a update/. data/ && rm -rf update: copying over
#                        the old files in place;
#     link_sync_rm       cp -al --remove-destination update/. data/ && sync
#                        && rm -rf update: each file put in place by name,
#                        durable, the least that placing by name can cost.
#   Wall time and peak memory (for cp, sync and rm, the largest of them).
#   Every run starts from its own copy of the install, all of a tree's made
#   before its first timed run and then left alone for 35 s (ext4 creates
#   files slowly for half a minute after it deleted many; the runs on the
#   100,000 files wait as long between them), and from a dropped page cache
#   when the machine allows it (else warm, after an untimed run of each).
# start: the launcher with no update waiting, start to exit (the browser
#   started), against the browser started directly, 20 runs alternating, warm.
#
# Goals: the launcher's wall time is at most 0.3 times that of cp_sync_rm on
# the browser and added trees (the median of the ratios of the runs side by
# side; flat and browser-host have none: on flat placing by name costs what
# its directory operations cost); its median peak memory no more than
# before it linked, to the tenth of a MB (2.3 MB on browser, 29.5 MB on flat, and no more on
# added): the peak of a process this small moves by some 100 KB from run to
# run with the pages of the program it maps; a start with no update at most
# 1.1 times starting the browser directly. Exits 1 when a goal is missed.
#
# Run from the repository root: bench/update.sh (about 30 minutes, 20 GB of
# disk; bench/update.sh --quick: once, on small trees, to see that it works;
# see lib.sh).
# shellcheck disable=SC2317  # the time_ functions are called through alternate
set -euo pipefail

cd "$(dirname "$0")/.."
# shellcheck source=bench/lib.sh
source bench/lib.sh
trees=(browser flat added browser-host)
# Runs per tree: the short browser-sized runs vary most.
declare -A update_runs=([browser]=7 [flat]=3 [added]=3)
start_runs=20
declare -A max_time_ratio=([browser]=0.3 [added]=0.3)
declare -A max_memory_kb=([browser]=2406 [flat]=30259 [added]=30259)
max_start_ratio=1.1
# ext4 creates files slowly for half a minute after it deleted many.
settle_seconds=35
browser_tree=""
many=100000
few=2000
if [ "$quick" = 1 ]; then
    update_runs=([browser]=1 [flat]=1 [added]=1)
    start_runs=1
    settle_seconds=0
    browser_tree="--files 150 --megabytes 5"
    many=2000
    few=100
fi
# Each tree's old data folder, then its staged update, as make_tree.py takes them.
declare -A old_tree=([browser]=$browser_tree [flat]="--files $many --flat"
    [added]="--files $few --flat")
declare -A staged_tree=([browser]=$browser_tree [flat]="--files $many --flat"
    [added]="--files $many --flat")
ways=(launcher launcher_no_flush cp_sync_rm cp_rm link_sync_rm)

make_scratch scratch-update
build_targets launcher launcher_no_flush standin_browser launch_record measure

# The benchmark's file system, mounted on the scratch folder, so that every
# path of a run is as long as on the build tree's disk (the launcher's peak
# memory holds its paths): room for every copy of the largest tree (sparse,
# the image takes only what is written) and an inode for each of their
# files; its inode tables are not written in the background while the runs
# are timed. The scratch folder stays on the build tree's disk where it
# cannot be made; browser-host's copies are there in any case.
host=$scratch-host
mkdir -p "$host"
trap 'cd /; ! mountpoint -q "$scratch" || umount "$scratch"; rm -rf "$scratch" "$scratch.img" "$host"' EXIT
if truncate -s 24G "$scratch.img" && mkfs.ext4 -q -i 4096 "$scratch.img" 2>/dev/null &&
    mount -o loop,noinit_itable "$scratch.img" "$scratch" 2>/dev/null; then
    echo "trees on: $(findmnt -n -o FSTYPE,OPTIONS "$scratch" | tr -s " "), an image on the build tree's disk"
else
    echo "trees on: the build tree's disk (no file system of the benchmark's own here)"
fi
disk=$(findmnt -n -o FSTYPE,OPTIONS -T "$host" | tr -s " ") || true
echo "build tree's disk: ${disk:-not known here}"

# A tree named NAME-host is tree NAME on the build tree's disk: $shape is NAME
# and $folder the folder of its copies, for tree $1.
place_tree() {
    shape=${1%-host}
    folder=$scratch
    [ "$shape" = "$1" ] || folder=$host
}

# An install to start from: the launcher, the old data folder of tree $1 with
# the stand-in as browser and a post-upgrade program, and the staged update
# with the stand-in as its browser.
make_template() {
    local template=$folder/$1
    # shellcheck disable=SC2086  # one argument a word
    make_tree --seed 1 ${old_tree[$shape]} "$template/TavrelData"
    # shellcheck disable=SC2086
    make_tree --seed 2 ${staged_tree[$shape]} "$template/TavrelData/update"
    install -m 755 "$bin/launcher" "$template/launcher"
    install -m 755 "$bin/launcher_no_flush" "$template/launcher_no_flush"
    local program
    for program in TavrelData/Tavrel.exe TavrelData/TavrelPostUpgrade.exe \
        TavrelData/update/Tavrel.exe; do
        install -m 755 "$bin/standin_browser" "$template/$program"
    done
}

choose_cache

# Sets $copy to the next copy of the install of $tree for way $1; copy 0
# serves the untimed run of a warm cache.
declare -A used
next_copy() {
    local key=$tree.$1
    local i=${used[$key]:-$((1 - warm_up))}
    used[$key]=$((i + 1))
    copy=$folder/$key.$i
}

# Waits up to 5 s for the record that the browser started from data folder
# $1 leaves, and takes it away; fails when none comes.
browser_started() {
    if ! "$bin/launch_record" "$1" 5 >/dev/null; then
        echo "update.sh: the browser in $1 did not start" >&2
        return 1
    fi
}

# The timing functions each print "SECONDS PEAK_KB" for one run.
time_launcher_run() {
    next_copy "$1"
    measure "$copy/$1"
    browser_started "$copy/TavrelData"
    local left
    for left in update update-applied TavrelPostUpgrade.exe; do
        if [ -e "$copy/TavrelData/$left" ]; then
            echo "update.sh: $1 left TavrelData/$left behind" >&2
            return 1
        fi
    done
}
time_launcher() { time_launcher_run launcher; }
time_launcher_no_flush() { time_launcher_run launcher_no_flush; }

time_cp_sync_rm() {
    next_copy cp_sync_rm
    measure cp -a "$copy/TavrelData/update/." "$copy/TavrelData/" :: sync :: \
        rm -rf "$copy/TavrelData/update"
}

time_cp_rm() {
    next_copy cp_rm
    measure cp -a "$copy/TavrelData/update/." "$copy/TavrelData/" :: \
        rm -rf "$copy/TavrelData/update"
}

time_link_sync_rm() {
    next_copy link_sync_rm
    measure cp -al --remove-destination "$copy/TavrelData/update/." "$copy/TavrelData/" :: sync :: \
        rm -rf "$copy/TavrelData/update"
}

# The median, over the runs side by side, of the ratio of way $2's wall
# time to way $3's on tree $1.
median_ratio() {
    paste "$scratch/update.$1.$2" "$scratch/update.$1.$3" | awk '{ print $1 / $3 }' | median
}

summary=()
for tree in "${trees[@]}"; do
    echo
    echo "== update: $tree"
    echo "copies of the install for each run..."
    place_tree "$tree"
    make_template "$tree" >/dev/null
    for way in "${ways[@]}"; do
        for ((i = 0; i <= update_runs[$shape]; i++)); do
            cp -a "$folder/$tree" "$folder/$tree.$way.$i"
        done
    done
    sync
    sleep "$settle_seconds"
    # What one run deletes would slow the next one's new files (see above).
    pause=0
    [ "$shape" != browser ] && pause=$settle_seconds
    alternate "${update_runs[$shape]}" "$scratch/update.$tree" '%8.3f s  peak %6d KB' \
        time_launcher time_launcher_no_flush time_cp_sync_rm time_cp_rm time_link_sync_rm
    # The launcher leaves what cp leaves, but the post-upgrade program, and
    # its lock file beside it.
    diff -rq --exclude=TavrelPostUpgrade.exe --exclude=update.lock --exclude=launcher_no_flush \
        "$folder/$tree.launcher.1/TavrelData" "$folder/$tree.cp_rm.1/TavrelData"
    row=$tree
    for way in "${ways[@]}"; do
        row+=" $(median_of "$scratch/update.$tree.$way" 1) $(median_of "$scratch/update.$tree.$way" 2)"
    done
    row+=" $(median_ratio "$tree" launcher cp_sync_rm)"
    row+=" $(median_ratio "$tree" launcher_no_flush cp_rm)"
    row+=" $(median_ratio "$tree" launcher link_sync_rm)"
    summary+=("$row")
    rm -rf "${folder:?}/$tree" "$folder/$tree".*.*
done

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
pause=0
drop=0 warm_up=$((1 - quick)) alternate "$start_runs" "$scratch/start" '%8.4f s' time_launcher_start time_browser
start_s=$(median_of "$scratch/start.launcher_start" 1)
browser_s=$(median_of "$scratch/start.browser" 1)

missed=0
echo
echo "== update (medians of ${update_runs[browser]}, ${update_runs[flat]} and ${update_runs[added]} runs, browser-host as browser; wall time, then peak memory)"
printf '%-12s %18s %18s %18s %18s %18s\n' tree launcher launcher_no_flush cp_sync_rm cp_rm \
    link_sync_rm
for row in "${summary[@]}"; do
    read -r tree ls lk ns nk ss sk cs ck fs fk durable no_flush floor <<<"$row"
    time_goal="no goal"
    if [ -n "${max_time_ratio[$tree]:-}" ]; then
        verdict_text=$(verdict "$durable <= ${max_time_ratio[$tree]}") || missed=1
        time_goal="goal <= ${max_time_ratio[$tree]}: $verdict_text"
    fi
    place_tree "$tree"
    memory_verdict=$(verdict "$lk <= ${max_memory_kb[$shape]}") || missed=1
    awk -v t="$tree" -v ls="$ls" -v lk="$lk" -v ns="$ns" -v nk="$nk" -v ss="$ss" -v sk="$sk" \
        -v cs="$cs" -v ck="$ck" -v fs="$fs" -v fk="$fk" 'BEGIN {
            printf "%-12s %8.3f s %6d KB %8.3f s %6d KB %8.3f s %6d KB %8.3f s %6d KB %8.3f s %6d KB\n",
                   t, ls, lk, ns, nk, ss, sk, cs, ck, fs, fk
        }'
    awk -v t="$tree" -v d="$durable" -v n="$no_flush" -v f="$floor" -v g="$time_goal" \
        -v mm="${max_memory_kb[$shape]}" -v vm="$memory_verdict" 'BEGIN {
            printf "%-12s durable %.3f (%s), no-flush %.3f, over the link floor %.2f;" \
                   " memory <= %d KB: %s\n", t, d, g, n, f, mm, vm
        }'
done
echo "durable: launcher / cp_sync_rm; no-flush: launcher_no_flush / cp_rm; link floor:"
echo "launcher / link_sync_rm; each the median of the runs' ratios"
echo
echo "== start (medians of $start_runs runs)"
start_verdict=$(verdict "$start_s / $browser_s <= $max_start_ratio") || missed=1
awk -v l="$start_s" -v b="$browser_s" -v m="$max_start_ratio" -v v="$start_verdict" 'BEGIN {
        printf "launcher %.2f ms, browser directly %.2f ms: ratio %.2f (goal <= %s: %s)," \
               " launcher adds %.2f ms\n", l * 1000, b * 1000, l / b, m, v, (l - b) * 1000
    }'
exit "$missed"
