// Paths crossing the Linux layer's boundary: any bytes the system can give
// come back as the same bytes, and in between every separator is a
// backslash, and nothing else is a separator, a drive or a wildcard.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/posix/Boundary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path(reinterpret_cast<const char*>(data), size);
    path.erase(std::remove(path.begin(), path.end(), '\0'), path.end());
    const Utf16Text seen = FromSystemPath(path);
    const bool oneNamePerComponent =
        std::count(seen.begin(), seen.end(), u'\\') == std::count(path.begin(), path.end(), '/');
    const bool noWindowsSpecials = seen.find_first_of(u":*?\"<>|") == Utf16Text::npos;
    if (!oneNamePerComponent || !noWindowsSpecials || ToSystemPath(seen.c_str()) != path) {
        std::abort();
    }
    return 0;
}
