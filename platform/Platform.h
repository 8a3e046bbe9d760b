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

// Beyond the Win32 subset: many written files made durable for the price of
// one wait. A fully written file handed to QueueFlush, and a rename made with
// kQueuedMoveFlags, is on stable storage once FlushQueued has succeeded for
// the file system that holds it. Windows offers no wait for a whole batch to
// a program without privileges: there QueueFlush flushes the file at once
// (FlushFileBuffers), the rename is written through, and FlushQueued has
// nothing left to wait for. Linux writes each file back on its own: there
// QueueFlush does nothing, and FlushQueued waits once, for the whole file
// system (syncfs).
BOOL QueueFlush(LPCWSTR path);
BOOL FlushQueued(LPCWSTR folder);
extern const DWORD kQueuedMoveFlags;
