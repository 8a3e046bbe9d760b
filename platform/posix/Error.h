// The thread's last-error value, and the one translation of errno into the
// Win32 code that Windows gives in the same situation.
#pragma once

#include "platform/posix/Win32Api.h"

DWORD Win32ErrorFromErrno(int error);

// Sets the last error from errno (or the given errno value) and returns FALSE,
// so a failing call can end with `return FailWithErrno();`.
BOOL FailWithErrno();
BOOL FailWithErrno(int error);
