#!/bin/sh
# Runs a Windows test program under Wine as the ordinary user nobody. Wine
# run as root does what root may (it writes read-only files), so what an
# ordinary user meets on Windows is tested this way. The program, the
# programs beside it and the script that runs Wine are copied into a folder
# of the user's (who may not read the build's, as in a clone in root's home),
# where Wine keeps a prefix of its own; the folder goes at the end. Becoming another user
# takes root: without it the test reports itself skipped (exit code 77).
#
#   wine-as-user.sh WINE PROGRAM [ARGUMENT...]
set -u
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: running as another user takes root"
    exit 77
fi
wine=$1
program=$2
shift 2
home=$(mktemp -d /tmp/tavrel-wine-user.XXXXXX) || exit 1
as_user() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env HOME="$home" WINEPREFIX="$home/wine" "$@"
}
trap 'as_user wineserver -k 2>/dev/null; rm -rf "$home"' EXIT
cp "$(dirname "$0")/wine-run.sh" "$(dirname "$program")"/*.exe "$home/"
chown -R nobody:nogroup "$home"
as_user sh "$home/wine-run.sh" "$wine" "$home/$(basename "$program")" "$@"
