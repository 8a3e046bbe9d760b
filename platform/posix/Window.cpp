// There are no windows on this side, so no window handle is ever valid.
#include "platform/posix/Error.h"

BOOL SetWindowTextW(HWND, LPCWSTR) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
}
