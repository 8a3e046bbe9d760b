// The one door from launcher/ and disk/ to the operating system: the Win32
// calls, types and constants they use, under their Win32 names. On Windows
// this is the real API; elsewhere the same declarations are implemented over
// POSIX in platform/posix/. Strings are UTF-16 on both (WCHAR).
#pragma once

#ifdef _WIN32
#include "platform/win32/Win32Api.h"
#else
#include "platform/posix/Win32Api.h"
#endif
