// 8-bit text. The system code page here is UTF-8, so every UTF-16 text has
// an 8-bit form and no default character is ever needed.
#include <strings.h>
#include <algorithm>
#include <cstring>

#include "platform/posix/Boundary.h"
#include "platform/posix/Error.h"

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                        int narrowSize, LPCSTR, LPBOOL usedDefaultChar) {
    if ((codePage != CP_ACP && codePage != CP_UTF8) || flags != 0 || wide == nullptr ||
        wideLength < -1 || narrowSize < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string text = wideLength == -1 ? ToUtf8(wide) : ToUtf8(wide, wideLength);
    if (wideLength == -1) {
        text += '\0';
    }
    if (usedDefaultChar != nullptr) {
        *usedDefaultChar = FALSE;
    }
    if (narrowSize == 0) {
        return static_cast<int>(text.size());
    }
    if (text.size() > static_cast<size_t>(narrowSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // The terminator is copied when the caller's text had one (length -1).
    std::copy(text.begin(), text.end(), narrow);
    return static_cast<int>(text.size());
}

int lstrcmpA(LPCSTR a, LPCSTR b) {
    return std::strcmp(a, b);
}

// ASCII letters fold to one case; all other bytes compare as they are.
int lstrcmpiA(LPCSTR a, LPCSTR b) {
    return strcasecmp(a, b);
}
