// A seam for tests: makes chosen file calls fail with a chosen Win32 error,
// so that the callers' real failure handling runs where Linux (as root) has
// no real condition that fails the call, and records the order in which the
// calls came.
#pragma once

#include <string>
#include <vector>

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
    BeginFlushFile,
    FinishFlushes,
    // The flush of a folder that makes a written-through rename durable.
    FlushFolder,
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

// A call as the seam saw it: where, and the path it was given (for a copy or
// a rename, its new name).
struct FileCall {
    FaultPoint point;
    std::basic_string<WCHAR> path;
};
// Every call from now on is appended to calls, until it is given null.
void RecordFileCalls(std::vector<FileCall>* calls);

// Asked by a file call before it does anything: true, with the last error
// set, when the call must fail.
bool FaultInjected(FaultPoint point, LPCWSTR path);
