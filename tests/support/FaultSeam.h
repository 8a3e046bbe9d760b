// Faults put into the file-system calls through the test builds' system-call
// table (platform/posix/SystemCalls.h, platform/win32/SystemCalls.h): on
// Linux the layer's POSIX calls fail with an errno, on Windows the Win32
// calls with a Win32 error, and the code meets them as it meets real ones.
// The programs to ship have no such table: there HasFaultSeam() is false and
// nothing can be put in.
#pragma once

#include "platform/Platform.h"

// What fails: a file opened, a file's content copied, a rename, a second
// name given to a file, a file removed, a flush, a directory search begun or
// read on.
enum class Call { Open, Copy, Rename, Link, Remove, Flush, Search, SearchNext };

// How it fails, as each system says it.
enum class Failure {
    AccessDenied,
    DiskFull,
    IoError,
    NotSameDevice,
    InUse,
    InvalidParameter,
    NotSupported
};

struct Fault {
    Call call;
    Failure failure;
    // Only calls whose path ends so fail ('/' between names; a search's
    // folder, without its wildcards); null for every call.
    const char* pathEnding = nullptr;
    // How many matching calls succeed before the failures begin, and how
    // many fail then (every one when negative).
    int after = 0;
    int times = -1;
};

// A fault of no call: nothing fails.
const Fault kNoFault{static_cast<Call>(-1), Failure::IoError};

bool HasFaultSeam();
// Why a test that needs the seam cannot run.
const char kNoFaultSeam[] = "the program to ship has no fault seam";
// Ends a GoogleTest test that needs the seam, as skipped, where there is none.
#define SKIP_WITHOUT_FAULT_SEAM() \
    if (!HasFaultSeam())          \
    GTEST_SKIP() << kNoFaultSeam
// One fault at a time; it holds until cleared or replaced.
void InjectFault(const Fault& fault);
void ClearFault();
// The Win32 error that the code meets for a failure, on either system.
DWORD ErrorCodeOf(Failure failure);

#ifndef _WIN32
// The process ends at the n-th call from now that changes the file system
// (0 is the next one), before that call does anything and with nothing
// cleaned up, as when it is killed; never when n is negative. Reading,
// searching and changing the current directory do not count.
void EndProcessAtCall(int n);
const int kEndedAtCall = 137;
#endif
