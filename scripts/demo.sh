#!/bin/sh
# Builds the launcher and runs it on a demo install under build/demo/: the
# launcher in a folder, TavrelData/Tavrel.exe beside it (a stand-in browser
# that writes down the arguments and working directory it got), and an
# update staged in TavrelData/update/. Shows the data folder before and
# after, and what the browser received.
#
#   scripts/demo.sh              the Linux program
#   scripts/demo.sh --windows    the Windows program, under Wine
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh

case "${1:-}" in
--windows)
    preset=windows
    suffix=.exe
    export WINEPREFIX="$PWD/build/windows/wine" WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    ;;
"")
    preset=native
    suffix=
    ;;
*)
    echo "usage: scripts/demo.sh [--windows]" >&2
    exit 2
    ;;
esac

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target launcher standin_browser >/dev/null
bin="build/$preset/bin"
install="build/demo/$preset"
data="$install/TavrelData"

# The install: an old browser with its files, and a new version staged.
rm -rf "$install"
mkdir -p "$data/locales" "$data/update/locales/de" "$data/update/plugins"
cp "$bin/launcher$suffix" "$install/"
cp "$bin/standin_browser$suffix" "$data/Tavrel.exe"
echo "old English strings" >"$data/locales/en.pak"
echo "post-upgrade tasks" >"$data/TavrelPostUpgrade.exe"
cp "$bin/standin_browser$suffix" "$data/update/Tavrel.exe"
echo "new version" >>"$data/update/Tavrel.exe"
echo "new English strings, and more of them" >"$data/update/locales/en.pak"
echo "new German strings" >"$data/update/locales/de/strings.pak"
echo "a new plugin" >"$data/update/plugins/viewer.dll"

show() {
    (cd "$data" && find . -mindepth 1 | sort | while read -r entry; do
        if [ -d "$entry" ]; then
            echo "    ${entry#./}/"
        else
            echo "    ${entry#./}  ($(wc -c <"$entry") bytes)"
        fi
    done)
}

echo "== Data folder before"
show
echo

if [ "$preset" = windows ]; then
    wine wineboot --init 2>/dev/null
    set -- wine "$install/launcher.exe"
else
    set -- "$install/launcher"
fi
echo "== Starting: $* 'My Documents/page one.htm' --new-window"
output=$("$@" "My Documents/page one.htm" --new-window 2>&1) && code=0 || code=$?
echo "    exit code $code, printed: '$output'"
echo

record="$data/launch-record.txt"
waited=0
while [ ! -f "$record" ] && [ "$waited" -lt 300 ]; do
    sleep 0.1
    waited=$((waited + 1))
done

echo "== Data folder after"
show | grep -v launch-record.txt
echo
if [ -f "$record" ]; then
    echo "== The browser was started with"
    sed 's/^/    /' "$record"
else
    echo "== The browser was not started"
fi
