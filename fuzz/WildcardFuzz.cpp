// The directory search's wildcard matching against a plain reference.
#include <algorithm>
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "platform/posix/Wildcards.h"

namespace {

// Straight from the rules, by recursion: slow, and plainly right.
bool Reference(const WCHAR* pattern, const WCHAR* name) {
    if (*pattern == 0) {
        return *name == 0;
    }
    if (*pattern == u'*') {
        return Reference(pattern + 1, name) || (*name != 0 && Reference(pattern, name + 1));
    }
    return *name != 0 && (*pattern == u'?' || FoldCase(*pattern) == FoldCase(*name)) &&
           Reference(pattern + 1, name + 1);
}

bool ReferenceWithDotStar(const Utf16Text& pattern, const Utf16Text& name) {
    const size_t size = pattern.size();
    const bool dotStar = size >= 2 && pattern.compare(size - 2, 2, u".*") == 0;
    return Reference(pattern.c_str(), name.c_str()) ||
           (dotStar && Reference(pattern.substr(0, size - 2).c_str(), name.c_str()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Code unit 0xFFFF separates the pattern from the name; a few stars keep
    // the reference quick.
    const std::vector<Utf16Text> parts = SplitAt(Utf16From(data, size), 0xFFFF);
    if (parts.size() != 2 || std::count(parts[0].begin(), parts[0].end(), u'*') > 6 ||
        parts[1].size() > 64) {
        return 0;
    }
    if (MatchesWildcards(parts[0], parts[1]) != ReferenceWithDotStar(parts[0], parts[1])) {
        std::abort();
    }
    return 0;
}
