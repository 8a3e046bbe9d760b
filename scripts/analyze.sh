#!/bin/sh
# Static analysis: every tracked C++ source formatted as .clang-format asks,
# then clang-tidy with the checks in .clang-tidy and cppcheck over the
# product's code. Fails on any finding.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== clang-format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

# clang-tidy reads the compiler flags from the native build's compile_commands.json.
cmake --preset native >/dev/null
echo "== clang-tidy"
log=build/native/clang-tidy.log
if ! find launcher disk platform -name '*.cpp' -not -path '*/win32/*' |
    xargs -n 4 -P 2 clang-tidy -p build/native --quiet >"$log" 2>&1; then
    grep -v 'warnings generated' "$log"
    exit 1
fi
echo "== cppcheck"
cppcheck --std=c++17 --language=c++ -I . --enable=warning,performance,portability \
    --inline-suppr --error-exitcode=1 --quiet -i platform/win32 launcher disk platform fuzz
echo "format and static analysis: clean"
