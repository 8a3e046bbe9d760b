#include "platform/commandline/CommandTail.h"

LPCWSTR FindCommandTail(LPCWSTR commandLine) {
    LPCWSTR p = commandLine;
    if (*p == TEXT('"')) {
        ++p;
        while (*p != 0 && *p != TEXT('"')) {
            ++p;
        }
        if (*p == TEXT('"')) {
            ++p;
        }
    } else {
        while (*p > 0x20) {
            ++p;
        }
    }
    while (*p != 0 && *p <= 0x20) {
        ++p;
    }
    return p;
}
