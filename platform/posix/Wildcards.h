// Names as Windows compares and matches them: ASCII letters in either case
// are the same letter.
#pragma once

#include "platform/Utf8.h"

// The letter in capitals; every other code unit as it is.
WCHAR FoldCase(WCHAR c);

// '*' matches any run of characters, '?' one character, everything else
// itself (case folded). A trailing ".*" may also match nothing at all, so
// "*.*" matches every name and "name.*" matches "name".
bool MatchesWildcards(const Utf16Text& pattern, const Utf16Text& name);
