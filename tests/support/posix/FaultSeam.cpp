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
// Calls that no fault names, only counted.
const Call kUncounted = kNoFault.call;

// Asked by a wrapper before its call: ends the process at the call that
// was asked for, when it changes the file system; true, with errno set, when
// the call must fail.
bool Fails(Call call, const std::string& path, bool changes) {
    if (changes && callsBeforeEnd >= 0 && callsBeforeEnd-- == 0) {
        _exit(kEndedAtCall);
    }
    Failure failure;
    if (!FaultFails(call, path, &failure)) {
        return false;
    }
    errno = kErrnos[static_cast<int>(failure)];
    return true;
}

// Every call but a search changes the file system.
bool Fails(Call call, const std::string& path) {
    return Fails(call, path, call != Call::Search && call != Call::SearchNext);
}

// Opening changes it only when it makes or empties a file.
int Open(const char* path, int flags, ...) noexcept {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & O_CREAT) != 0 ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    return Fails(Call::Open, path, (flags & (O_CREAT | O_TRUNC)) != 0)
               ? -1
               : real.open(path, flags, mode);
}

}  // namespace

std::string PathText(const char* path) {
    return path;
}

void InstallWrappers() {
    static const bool installed = [] {
        SystemCallTable& calls = SystemCalls();
        real = calls;
        calls.open = Open;
        WRAP_SYSTEM_CALL(write, kUncounted, -1, -1);
        WRAP_SYSTEM_CALL(copy_file_range, Call::Copy, -1, -1);
        WRAP_SYSTEM_CALL(rename, Call::Rename, 1, -1);
        WRAP_SYSTEM_CALL(renameat2, Call::Rename, 3, -1);
        WRAP_SYSTEM_CALL(link, Call::Link, 1, -1);
        WRAP_SYSTEM_CALL(unlink, Call::Remove, 0, -1);
        WRAP_SYSTEM_CALL(mkdir, kUncounted, 0, -1);
        WRAP_SYSTEM_CALL(rmdir, kUncounted, 0, -1);
        WRAP_SYSTEM_CALL(fsync, Call::Flush, -1, -1);
        WRAP_SYSTEM_CALL(syncfs, Call::Flush, -1, -1);
        WRAP_SYSTEM_CALL(lstat, Call::Search, 0, -1);
        WRAP_SYSTEM_CALL(opendir, Call::Search, 0, nullptr);
        WRAP_SYSTEM_CALL(readdir, Call::SearchNext, -1, nullptr);
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
