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

// Beyond the Win32 subset: making many written files durable for the price of
// one wait. Windows offers no wait for a whole batch to a program without
// privileges, so there each file is flushed (FlushFileBuffers) when it is
// handed over, and renames made with kBatchedMoveFlags are written through.
// Linux lets the kernel write each file back and waits once, for the whole
// file system (syncfs).
//
// Starts putting the fully written file at path on stable storage.
BOOL BeginFlushFile(LPCWSTR path);
// Waits until every file begun, and every rename made with kBatchedMoveFlags,
// on the file system that holds path is on stable storage.
BOOL FinishFlushes(LPCWSTR path);
