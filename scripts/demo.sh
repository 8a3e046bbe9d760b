#!/bin/sh
# Builds the launcher and runs it on a demo install under build/demo/: the
# launcher in a folder, TavrelData/Tavrel.exe beside it (a stand-in browser
# that writes down the working directory and command tail it got), and an
# update staged in TavrelData/update/. Shows the data folder before and
# after, and what the browser received; fails unless the browser started
# with the arguments that the launcher was given.
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
cmake --build --preset "$preset" --target launcher standin_browser launch_record >/dev/null
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
    # As the tests run them: in a UTF-8 locale, whatever the environment has.
    wine="cmake/wine-run.sh wine"
    $wine wineboot --init >/dev/null
    set -- $wine "$install/launcher.exe"
    record="$wine $bin/launch_record.exe"
else
    set -- "$install/launcher"
    record="$bin/launch_record"
fi
document="My Documents/page one.htm"
echo "== Starting: $* '$document' --new-window"
output=$("$@" "$document" --new-window 2>&1) && code=0 || code=$?
echo "    exit code $code, printed: '$output'"
echo

# The browser runs on its own once the launcher has ended: its record is
# waited for (and taken away), up to 30 s.
started=$($record "$data" 30) || started=""
echo "== Data folder after"
show
echo
if [ -z "$started" ]; then
    echo "== The browser was not started"
    exit 1
fi
echo "== The browser was started with"
printf '%s\n' "$started" | sed 's/^/    /'
expected="\"$document\" --new-window"
if [ "$(printf '%s\n' "$started" | sed -n 's/^command tail: //p')" != "$expected" ]; then
    echo "== ... which is not the command tail the launcher was given: $expected"
    exit 1
fi
