// Names as Windows compares and matches them: ASCII letters in either case
// are the same letter.
#pragma once

#include "platform/Utf8.h"

// The letter in capitals; every other code unit as it is. Inline: sorting a
// large folder's names calls it for each character compared.
inline WCHAR FoldCase(WCHAR c) {
    return c >= u'a' && c <= u'z' ? static_cast<WCHAR>(c - u'a' + u'A') : c;
}

// '*' matches any run of characters, '?' one character, everything else
// itself (case folded). A trailing ".*" may also match nothing at all, so
// "*.*" matches every name and "name.*" matches "name".
bool MatchesWildcards(const Utf16Text& pattern, const Utf16Text& name);
