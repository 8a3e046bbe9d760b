// The Windows side of the platform gate: the real Win32 API.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>
#include <sys/stat.h>

// Windows always knows the path of a running program's own file.
constexpr bool kModulePathMayBeUnknown = false;

// What a rename in a batch of durable writes adds: Windows writes each one
// through, since nothing waits for them together.
constexpr DWORD kBatchedMoveFlags = MOVEFILE_WRITE_THROUGH;
