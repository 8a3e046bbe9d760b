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
