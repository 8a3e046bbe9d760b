// A seam for tests: makes chosen file calls fail with a chosen Win32 error,
// so that the callers' real failure handling runs where Linux (as root) has
// no real condition that fails the call.
#pragma once

#include "platform/posix/Win32Api.h"

enum class FaultPoint {
    CopyFile,
    DeleteFile,
    CreateDirectory,
    RemoveDirectory,
    FindFirstFile,
    FindNextFile,
    MoveFile,
    SetCurrentDirectory,
};

struct Fault {
    FaultPoint point;
    DWORD error;
    // Only calls whose path ends so fail (for a search, its pattern); null
    // for every call at the point.
    LPCWSTR pathEnding = nullptr;
    // How many matching calls succeed before the failures begin.
    int after = 0;
};

// One fault at a time; it holds until cleared or replaced.
void InjectFault(const Fault& fault);
void ClearFault();

// Asked by a file call before it does anything: true, with the last error
// set, when the call must fail.
bool FaultInjected(FaultPoint point, LPCWSTR path);
