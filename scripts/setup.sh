#!/bin/sh
# Installs what building, testing, the demo, the benchmarks, the fuzz targets
# and the static analysis need, when it is missing: Debian packages only,
# through apt-get (as root). Quick when all is there. Says in one line what
# each step does, and shows the package manager's output only when it fails.
set -eu

packages="cmake ninja-build g++ googletest python3 git g++-mingw-w64-x86-64-posix wine wine64
clang libclang-rt-14-dev clang-format clang-tidy cppcheck e2fsprogs"

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "setup: run as root to install:$missing" >&2
    exit 1
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Runs a step with its output kept aside, shown only when the step fails.
step() {
    echo "setup: $1"
    shift
    if ! "$@" >"$log" 2>&1; then
        cat "$log" >&2
        echo "setup: failed: $*" >&2
        exit 1
    fi
}

step "updating the package lists" apt-get update
# shellcheck disable=SC2086  # one argument per package
step "installing$missing" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends $missing
