// The system calls with which the code reads, changes and searches the file
// system. Test builds (TAVREL_FAULT_SEAM) make each through a table that a
// test may change, in the manner of SQLite's: a fault then enters as the
// system gives it, a Win32 error, and meets the same code as a real one. The
// gate header sends the calls there; the programs to ship call the system
// directly.
#pragma once

#include "platform/win32/WindowsHeaders.h"

struct SystemCallTable {
    decltype(&::CreateFileW) createFileW;
    decltype(&::CopyFileW) copyFileW;
    decltype(&::MoveFileExW) moveFileExW;
    decltype(&::CreateHardLinkW) createHardLinkW;
    decltype(&::DeleteFileW) deleteFileW;
    decltype(&::FlushFileBuffers) flushFileBuffers;
    decltype(&::FindFirstFileW) findFirstFileW;
    decltype(&::FindNextFileW) findNextFileW;
};
// The table, holding the system's own calls until a test changes them.
SystemCallTable& SystemCalls();
