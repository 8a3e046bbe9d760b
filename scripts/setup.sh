#!/bin/sh
# Installs what building, testing, the demo, the fuzz targets and the static
# analysis need, when it is missing:
# Debian packages only, through apt-get (as root). Quick when all is there.
set -eu

packages="cmake ninja-build g++ googletest python3 git g++-mingw-w64-x86-64-posix wine wine64
clang libclang-rt-14-dev clang-tidy cppcheck"

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
echo "setup: installing$missing"
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
