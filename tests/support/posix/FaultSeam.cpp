// The seam's wrappers of the POSIX calls: a fault is an errno.
#include <cerrno>
#include <cstdarg>

#include "tests/support/FaultSeamCalls.h"

#ifdef TAVREL_FAULT_SEAM
#include "platform/posix/SystemCalls.h"

namespace {

SystemCallTable real;
int callsBeforeEnd = -1;

// In the order of Failure.
const int kErrnos[] = {EACCES, ENOSPC, EIO, EXDEV, ETXTBSY, EINVAL, EOPNOTSUPP};

// Asked by a wrapper before its call: ends the process at the call that
// was asked for, when it changes the file system; true, with errno set,
// when the call must fail.
bool Fails(bool changes, Call call, const char* path) {
    if (changes && callsBeforeEnd >= 0 && callsBeforeEnd-- == 0) {
        _exit(kEndedAtCall);
    }
    Failure failure;
    if (!FaultFails(call, path != nullptr ? path : "", &failure)) {
        return false;
    }
    errno = kErrnos[static_cast<int>(failure)];
    return true;
}

// The wrappers are noexcept, as the C library declares its calls for C++.
// Calls that no fault names, only counted.
const Call kUncounted = kNoFault.call;

int Open(const char* path, int flags, ...) noexcept {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & O_CREAT) != 0 ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return Fails((flags & (O_CREAT | O_TRUNC)) != 0, Call::Open, path)
               ? -1
               : real.open(path, flags, mode);
}

ssize_t Write(int file, const void* buffer, size_t size) noexcept {
    return Fails(true, kUncounted, nullptr) ? -1 : real.write(file, buffer, size);
}

ssize_t CopyFileRange(int from, loff_t* fromOffset, int to, loff_t* toOffset, size_t size,
                      unsigned flags) noexcept {
    return Fails(true, Call::Copy, nullptr)
               ? -1
               : real.copy_file_range(from, fromOffset, to, toOffset, size, flags);
}

int Rename(const char* from, const char* to) noexcept {
    return Fails(true, Call::Rename, to) ? -1 : real.rename(from, to);
}

int RenameAt(int fromFolder, const char* from, int toFolder, const char* to,
             unsigned flags) noexcept {
    return Fails(true, Call::Rename, to) ? -1
                                         : real.renameat2(fromFolder, from, toFolder, to, flags);
}

int Unlink(const char* path) noexcept {
    return Fails(true, Call::Remove, path) ? -1 : real.unlink(path);
}

int MakeFolder(const char* path, mode_t mode) noexcept {
    return Fails(true, kUncounted, path) ? -1 : real.mkdir(path, mode);
}

int RemoveFolder(const char* path) noexcept {
    return Fails(true, kUncounted, path) ? -1 : real.rmdir(path);
}

int Flush(int file) noexcept {
    return Fails(true, Call::Flush, nullptr) ? -1 : real.fsync(file);
}

int FlushAll(int file) noexcept {
    return Fails(true, Call::Flush, nullptr) ? -1 : real.syncfs(file);
}

DIR* OpenFolder(const char* path) noexcept {
    return Fails(false, Call::Search, path) ? nullptr : real.opendir(path);
}

dirent* ReadFolder(DIR* folder) noexcept {
    return Fails(false, Call::SearchNext, nullptr) ? nullptr : real.readdir(folder);
}

}  // namespace

void InstallWrappers() {
    static const bool installed = [] {
        SystemCallTable& calls = SystemCalls();
        real = calls;
        calls.open = Open;
        calls.write = Write;
        calls.copy_file_range = CopyFileRange;
        calls.rename = Rename;
        calls.renameat2 = RenameAt;
        calls.unlink = Unlink;
        calls.mkdir = MakeFolder;
        calls.rmdir = RemoveFolder;
        calls.fsync = Flush;
        calls.syncfs = FlushAll;
        calls.opendir = OpenFolder;
        calls.readdir = ReadFolder;
        return true;
    }();
    (void)installed;
}

void EndProcessAtCall(int n) {
    InstallWrappers();
    callsBeforeEnd = n;
}
#else
void InstallWrappers() {}

void EndProcessAtCall(int) {}
#endif
