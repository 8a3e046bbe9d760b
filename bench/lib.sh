# shellcheck shell=bash
# What the benchmark scripts share; they source it from the repository root
# with their arguments: the bench build, a scratch folder, the page cache
# before each timed run, measured commands run alternately, medians and goal
# verdicts.
#
# With --quick, a script runs once on small trees, without waits, warm-up
# runs or goals: it checks that the benchmark works, and measures nothing.

export LC_ALL=C
build=build/bench
bin=$PWD/$build/bin
case "${1:-}" in
--quick) quick=1 ;;
"") quick=0 ;;
*)
    echo "usage: $0 [--quick]" >&2
    exit 2
    ;;
esac

# Configures the bench build, with the tests' programs (the stand-in browser
# among them), and builds only the targets named; shows the build's output
# only when it fails.
build_targets() {
    local log
    log=$(cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVREL_BENCH=ON \
        -DTAVREL_TESTS=ON 2>&1 && cmake --build "$build" --target "$@" 2>&1) || {
        echo "$log" >&2
        echo "$0: the bench build failed" >&2
        return 1
    }
}

# The tree generator: make_tree.py [OPTIONS] OUT (see its text).
make_tree() { python3 bench/make_tree.py "$@"; }

# Sets $scratch to a new, empty folder $1 in the build tree, removed when the
# script ends.
make_scratch() {
    scratch=$PWD/$build/$1
    rm -rf "$scratch"
    mkdir -p "$scratch"
    trap 'rm -rf "$scratch"' EXIT
    trap 'exit 130' INT TERM
}

# Sets $drop to 1 when the page cache is dropped before each timed run, and
# $warm_up to 1 when an untimed run of each comes first (where it cannot be
# dropped), and says which.
choose_cache() {
    if [ "$quick" = 1 ]; then
        drop=0 warm_up=0
        echo "page cache: as it is (quick run)"
    elif (sync && echo 3 >/proc/sys/vm/drop_caches) 2>/dev/null; then
        drop=1 warm_up=0
        echo "page cache: dropped before each timed run"
    else
        drop=0 warm_up=1
        echo "page cache: cannot be dropped here; warm, after one untimed run of each"
    fi
}

# Before each timed run: everything written, then $pause seconds (0 unless
# set), then the page cache dropped when it can be.
settle() {
    sync
    sleep "${pause:-0}"
    if [ "$drop" = 1 ]; then
        echo 3 >/proc/sys/vm/drop_caches
    fi
}

# Runs a command, or several joined by "::" (each after the one before
# succeeded), inside the scratch folder, so that nothing done relative to the
# current directory lands in the repository. Prints "SECONDS PEAK_KB": the
# wall time from start to exit and the largest peak memory.
measure() { (cd "$scratch" && "$bin/measure" "$@"); }

# alternate ROUNDS PREFIX FORMAT time_A [time_B...]
# Runs the timing functions in turn, ROUNDS times, each after settle. Each
# prints one line of numbers, appended to PREFIX.A (PREFIX.B, ...) and shown
# as "run I  A  " and the numbers through the awk printf FORMAT.
alternate() {
    local rounds=$1 prefix=$2 format=$3 timer i
    shift 3
    if [ "$warm_up" = 1 ]; then
        for timer in "$@"; do
            "$timer" >/dev/null
        done
    fi
    for timer in "$@"; do
        : >"$prefix.${timer#time_}"
    done
    for ((i = 1; i <= rounds; i++)); do
        for timer in "$@"; do
            settle
            # In this shell, not a pipeline's: a timer may keep state.
            "$timer" >"$prefix.last"
            tee -a "$prefix.${timer#time_}" <"$prefix.last" |
                awk -v i="$i" -v name="${timer#time_}" -v f="$format" \
                    '{ printf "run %2d  %-18s " f "\n", i, name, $1, $2 }'
        done
    done
}

median() {
    sort -n | awk '{ v[NR] = $1 }
                   END { m = int((NR + 1) / 2); print NR % 2 ? v[m] : (v[m] + v[m + 1]) / 2 }'
}

# The median, over the lines of file $1, of the sum of the columns numbered
# $2 and after.
median_of() {
    local file=$1
    shift
    awk -v columns="$*" 'BEGIN { n = split(columns, c, " ") }
                         { s = 0; for (i = 1; i <= n; i++) s += $c[i]; print s }' "$file" | median
}

# Prints met when the awk condition $1 holds, else MISSED and fails; in a
# quick run, prints "not judged".
verdict() {
    if [ "$quick" = 1 ]; then
        echo "not judged"
    elif awk "BEGIN { exit !($1) }"; then
        echo met
    else
        echo MISSED
        return 1
    fi
}
