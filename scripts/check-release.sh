#!/bin/sh
# Checks the programs to ship, after the release presets' builds: each is
# stripped and points at its debug information beside it; it holds no fault
# seam (the test builds' system-call table, SystemCalls); a second build of
# the tracked sources, copied to another folder, gives the same bytes, debug
# information included; and installing lays out the program alone.
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/copy"
git ls-files -z | xargs -0 cp --parents -t "$work/copy"

for target in native windows; do
    preset=release-$target
    program=launcher
    objdump=objdump
    nm=nm
    if [ "$target" = windows ]; then
        program=launcher.exe
        objdump=x86_64-w64-mingw32-objdump
        nm=x86_64-w64-mingw32-nm
    fi
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target launcher >/dev/null
    (cd "$work/copy" && cmake --preset "$preset" -DTAVREL_TESTS=OFF >/dev/null &&
        cmake --build --preset "$preset" --target launcher >/dev/null)

    built=build/$preset/bin
    if $objdump -h "$built/$program" | grep -q ' \.debug_'; then
        echo "check-release: $preset: $program still holds debug information" >&2
        exit 1
    fi
    $objdump -h "$built/$program" | grep -q ' \.gnu_debuglink' || {
        echo "check-release: $preset: $program does not point at launcher.debug" >&2
        exit 1
    }
    if $nm -C "$built/launcher.debug" | grep -q 'SystemCalls'; then
        echo "check-release: $preset: $program holds the fault seam" >&2
        exit 1
    fi
    for file in "$program" launcher.debug; do
        cmp "$built/$file" "$work/copy/$built/$file"
    done

    cmake --install "build/$preset" --prefix "$work/$preset" >/dev/null
    installed=$(cd "$work/$preset" && find . -type f -o -type l)
    if [ "$installed" != "./$program" ]; then
        echo "check-release: $preset installs:" $installed "; expected ./$program" >&2
        exit 1
    fi
    echo "check-release: $preset: $program, $(wc -c <"$built/$program") bytes, stripped," \
        "reproducible, installed alone"
done
