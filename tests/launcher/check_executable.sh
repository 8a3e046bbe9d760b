#!/bin/sh
# Checks that a built Windows launcher is fit to ship: a GUI program (no
# console window), importing system DLLs only, with the application icon
# (group 128: five images, each present) and the project's version in its
# version resource. Reads the program with binutils' objdump and windres.
#
# Usage: check_executable.sh EXE VERSION
set -eu
exe=$1
version=$2
numbers="$(echo "$version" | sed 's/\./, /g'), 0"
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
resources=$(x86_64-w64-mingw32-windres -J coff -i "$exe" -O rc) || exit 1
status=0
fail() {
    echo "check_executable: $exe: $*" >&2
    status=1
}

printf "%s\n" "$headers" | grep -aq '^Subsystem.*(Windows GUI)' || fail "not a Windows GUI program"
for dll in $(printf "%s\n" "$headers" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z'); do
    case $dll in
    kernel32.dll | user32.dll | shell32.dll | advapi32.dll | msvcrt.dll | ntdll.dll) ;;
    gdi32.dll | ole32.dll | shlwapi.dll | api-ms-win-*.dll) ;;
    *) fail "imports $dll, which is not a system DLL" ;;
    esac
done

# Each image of the group as "width height bits", and the icons it names.
group=$(printf "%s\n" "$resources" | sed -n '/^128 14 /,/^END/p' | grep -a 'Element no')
images=$(printf "%s\n" "$group" | sed 's/^ *"\\\([0-7]*\)\\\([0-7]*\).*", 1, \([0-9]*\),.*/\1 \2 \3/' | sort)
expected=$(printf '020 020 32\n020 020 8\n040 040 32\n040 040 8\n060 060 32\n')
[ "$images" = "$expected" ] || fail "icon group 128 holds $(printf "%s\n" "$images" | tr "\n" ";"); expected 16x16 and 32x32 at 8 and 32 bits, 48x48 at 32"
for icon in $(printf "%s\n" "$group" | sed 's/.*, \([0-9]*\)[,	 ]*\/\*.*/\1/'); do
    printf "%s\n" "$resources" | grep -aq "^$icon 3 /\\* RT_ICON" || fail "icon $icon of group 128 is missing"
done

for line in "FILEVERSION $numbers" "PRODUCTVERSION $numbers" \
    "VALUE \"FileVersion\", \"$version\"" "VALUE \"ProductVersion\", \"$version\"" \
    "VALUE \"OriginalFilename\", \"$(basename "$exe")\"" \
    'VALUE "ProductName", "[^"]' 'VALUE "FileDescription", "[^"]'; do
    printf "%s\n" "$resources" | grep -aq "^ *$line" || fail "version resource lacks: $line"
done
[ "$status" = 0 ] && echo "check_executable: ok ($exe, version $version)"
exit "$status"
