#include "platform/posix/Wildcards.h"

namespace {

bool Matches(const WCHAR* pattern, const WCHAR* name) {
    // On a mismatch after a '*', the '*' takes one more character and the
    // rest of the pattern is tried again from there.
    const WCHAR* star = nullptr;
    const WCHAR* resume = nullptr;
    while (*name != 0) {
        if (*pattern == u'*') {
            star = ++pattern;
            resume = name;
        } else if (*pattern == u'?' || FoldCase(*pattern) == FoldCase(*name)) {
            ++pattern;
            ++name;
        } else if (star != nullptr) {
            pattern = star;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == u'*') {
        ++pattern;
    }
    return *pattern == 0;
}

}  // namespace

bool MatchesWildcards(const Utf16Text& pattern, const Utf16Text& name) {
    if (Matches(pattern.c_str(), name.c_str())) {
        return true;
    }
    const size_t size = pattern.size();
    return size >= 2 && pattern.compare(size - 2, 2, u".*") == 0 &&
           Matches(pattern.substr(0, size - 2).c_str(), name.c_str());
}
