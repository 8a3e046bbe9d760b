#include "platform/posix/Boundary.h"

#include <cstring>

namespace {

const char kNotInWindowsNames[] = "\\:*?\"<>|";
const char32_t kStandInBase = 0xF000;

bool IsNotInWindowsNames(char byte) {
    return byte != 0 && std::strchr(kNotInWindowsNames, byte) != nullptr;
}

bool IsStandIn(char32_t c) {
    return (c & ~char32_t(0x7F)) == kStandInBase &&
           IsNotInWindowsNames(static_cast<char>(c & 0x7F));
}

}  // namespace

std::string ToSystemPath(LPCWSTR path) {
    std::string out;
    LPCWSTR run = path;
    for (LPCWSTR p = path;; ++p) {
        if (*p != 0 && *p != u'\\' && !IsStandIn(*p)) {
            continue;
        }
        out += ToUtf8(run, static_cast<size_t>(p - run));
        if (*p == 0) {
            return out;
        }
        out += *p == u'\\' ? '/' : static_cast<char>(*p - kStandInBase);
        run = p + 1;
    }
}

Utf16Text FromSystemPath(const std::string& path) {
    Utf16Text out;
    size_t run = 0;
    for (size_t i = 0;; ++i) {
        if (i < path.size() && path[i] != '/' && !IsNotInWindowsNames(path[i])) {
            continue;
        }
        // These separators are ASCII, so no UTF-8 sequence is cut.
        out += FromUtf8(path.substr(run, i - run), IsStandIn);
        if (i == path.size()) {
            return out;
        }
        out += path[i] == '/' ? u'\\' : static_cast<WCHAR>(kStandInBase + path[i]);
        run = i + 1;
    }
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string ParentOf(const std::string& path) {
    const std::string name = WithoutTrailingSlashes(path);
    const size_t slash = name.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : name.substr(0, slash));
}
