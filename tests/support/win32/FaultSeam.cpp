// The seam's wrappers of the Win32 calls: a fault is a Win32 error.
#include "platform/Utf8.h"
#include "tests/support/FaultSeamCalls.h"

#ifdef TAVREL_FAULT_SEAM
namespace {

SystemCallTable real;

// True, with the last error set, when the call must fail.
bool Fails(Call call, const std::string& path) {
    Failure failure;
    if (!FaultFails(call, path, &failure)) {
        return false;
    }
    SetLastError(ErrorCodeOf(failure));
    return true;
}

}  // namespace

std::string PathText(LPCWSTR path) {
    return ToUtf8(path);
}

void InstallWrappers() {
    static const bool installed = [] {
        SystemCallTable& calls = SystemCalls();
        real = calls;
        WRAP_SYSTEM_CALL(createFileW, Call::Open, 0, INVALID_HANDLE_VALUE);
        WRAP_SYSTEM_CALL(copyFileW, Call::Copy, 1, FALSE);
        WRAP_SYSTEM_CALL(moveFileExW, Call::Rename, 1, FALSE);
        WRAP_SYSTEM_CALL(createHardLinkW, Call::Link, 0, FALSE);
        WRAP_SYSTEM_CALL(deleteFileW, Call::Remove, 0, FALSE);
        WRAP_SYSTEM_CALL(flushFileBuffers, Call::Flush, -1, FALSE);
        WRAP_SYSTEM_CALL(findFirstFileW, Call::Search, 0, INVALID_HANDLE_VALUE);
        WRAP_SYSTEM_CALL(findNextFileW, Call::SearchNext, -1, FALSE);
        return true;
    }();
    (void)installed;
}
#else
void InstallWrappers() {}
#endif
