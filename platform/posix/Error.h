// The thread's last-error value, and the one translation of errno into the
// Win32 code that Windows gives in the same situation.
#pragma once

#include <string>

#include "platform/posix/Win32Api.h"

DWORD Win32ErrorFromErrno(int error);

// Sets the last error from errno (or the given errno value) and returns FALSE,
// so a failing call can end with `return FailWithErrno();`.
BOOL FailWithErrno();
BOOL FailWithErrno(int error);

// Fails with errno as Windows reports it for a call on path: a missing file
// (ERROR_FILE_NOT_FOUND) is told from a missing folder on the way to it
// (ERROR_PATH_NOT_FOUND).
BOOL FailOn(const std::string& path);
