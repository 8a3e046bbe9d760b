// The Windows side of the platform gate: the real Win32 API.
#pragma once

#include "platform/win32/WindowsHeaders.h"

#include <shellapi.h>

// The disk helper has an operation of this name; the call is RemoveDirectoryW.
#undef RemoveDirectory

// Test builds make the file-system calls through the seam's table.
#ifdef TAVREL_FAULT_SEAM
#include "platform/win32/SystemCalls.h"
#define CreateFileW SystemCalls().createFileW
#define CopyFileW SystemCalls().copyFileW
#define MoveFileExW SystemCalls().moveFileExW
#define CreateHardLinkW SystemCalls().createHardLinkW
#define DeleteFileW SystemCalls().deleteFileW
#define FlushFileBuffers SystemCalls().flushFileBuffers
#define FindFirstFileW SystemCalls().findFirstFileW
#define FindNextFileW SystemCalls().findNextFileW
#endif

// Windows always knows the path of a running program's own file.
constexpr bool kModulePathMayBeUnknown = false;
