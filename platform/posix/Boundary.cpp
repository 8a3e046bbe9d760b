#include "platform/posix/Boundary.h"

std::string ToSystemPath(LPCWSTR path) {
    std::string out = ToUtf8(path);
    for (char& c : out) {
        if (c == '\\') {
            c = '/';
        }
    }
    return out;
}

Utf16Text FromSystemPath(const std::string& path) {
    Utf16Text out = FromUtf8(path);
    for (WCHAR& c : out) {
        if (c == u'/') {
            c = u'\\';
        }
    }
    return out;
}
