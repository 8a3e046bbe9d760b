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
    // A file opened to be made, when it may not exist yet.
    CreateFile,
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
    // How many fail then, the rest succeeding again; every one when negative.
    int failures = -1;
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

// The process ends at the n-th call from now that changes the file system
// (0 is the next one), before that call does anything and with nothing
// cleaned up, as when it is killed; never when n is negative. Calls that
// only read (searches, changes of the current directory) are not counted.
void EndProcessAtCall(int n);
const int kEndedAtCall = 137;

// Asked by a file call before it does anything: true, with the last error
// set, when the call must fail; it may end the process instead.
bool FaultInjected(FaultPoint point, LPCWSTR path);
