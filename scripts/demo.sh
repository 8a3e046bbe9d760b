#!/bin/sh
# Builds the launcher and runs it on demo installs under build/demo/: the
# launcher in a folder, and beside it TavrelData/Tavrel.exe, a stand-in
# browser that writes down the arguments and working directory it got.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh

export WINEPREFIX="$PWD/build/windows/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# install TARGET LAUNCHER BROWSER: lays out build/demo/TARGET.
install() {
    rm -rf "build/demo/$1"
    mkdir -p "build/demo/$1/TavrelData"
    cp "$2" "build/demo/$1/"
    cp "$3" "build/demo/$1/TavrelData/Tavrel.exe"
}

# run TARGET COMMAND...: starts the launcher and shows what the browser got.
run() {
    target=$1
    shift
    record="build/demo/$target/TavrelData/launch-record.txt"
    rm -f "$record"
    printf '$'
    for word; do
        case "$word" in
        *" "*) printf " '%s'" "$word" ;;
        *) printf ' %s' "$word" ;;
        esac
    done
    echo
    start=$(date +%s)
    output=$("$@" 2>&1) && code=0 || code=$?
    echo "  launcher: exit code $code after $(( $(date +%s) - start )) s; printed: '${output}'"
    waited=0
    while [ ! -f "$record" ] && [ "$waited" -lt 300 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if [ -f "$record" ]; then
        echo "  browser started with:"
        sed 's/^/    /' "$record"
    else
        echo "  browser not started"
    fi
    echo
}

for preset in native windows; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target launcher standin_browser >/dev/null
done

install linux build/native/bin/launcher build/native/bin/standin_browser
echo "== Linux program"
run linux build/demo/linux/launcher "My Documents/page one.htm" --new-window
run linux build/demo/linux/launcher -wkesto 2

install windows build/windows/bin/launcher.exe build/windows/bin/standin_browser.exe
echo "== Windows program, under Wine"
wine wineboot --init 2>/dev/null
wineserver -p || true
run windows wine build/demo/windows/launcher.exe "C:\\My Documents\\page one.htm" --new-window
run windows wine build/demo/windows/launcher.exe -wkesto 2
wineserver -k || true
