// The seam's wrappers of the Win32 calls: a fault is a Win32 error.
#include "platform/Utf8.h"
#include "tests/support/FaultSeamCalls.h"

#ifdef TAVREL_FAULT_SEAM
namespace {

SystemCallTable real;

// True, with the last error set, when the call must fail.
bool Fails(Call call, LPCWSTR path) {
    Failure failure;
    if (!FaultFails(call, path != nullptr ? ToUtf8(path) : std::string(), &failure)) {
        return false;
    }
    SetLastError(ErrorCodeOf(failure));
    return true;
}

HANDLE WINAPI Open(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE model) {
    return Fails(Call::Open, path)
               ? INVALID_HANDLE_VALUE
               : real.createFileW(path, access, share, security, disposition, flags, model);
}

BOOL WINAPI Copy(LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
    return !Fails(Call::Copy, to) && real.copyFileW(from, to, failIfExists);
}

BOOL WINAPI Rename(LPCWSTR from, LPCWSTR to, DWORD flags) {
    return !Fails(Call::Rename, to) && real.moveFileExW(from, to, flags);
}

BOOL WINAPI Remove(LPCWSTR path) {
    return !Fails(Call::Remove, path) && real.deleteFileW(path);
}

BOOL WINAPI Flush(HANDLE file) {
    return !Fails(Call::Flush, nullptr) && real.flushFileBuffers(file);
}

HANDLE WINAPI Search(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
    return Fails(Call::Search, pattern) ? INVALID_HANDLE_VALUE : real.findFirstFileW(pattern, data);
}

BOOL WINAPI SearchNext(HANDLE search, LPWIN32_FIND_DATAW data) {
    return !Fails(Call::SearchNext, nullptr) && real.findNextFileW(search, data);
}

}  // namespace

void InstallWrappers() {
    static const bool installed = [] {
        SystemCallTable& calls = SystemCalls();
        real = calls;
        calls.createFileW = Open;
        calls.copyFileW = Copy;
        calls.moveFileExW = Rename;
        calls.deleteFileW = Remove;
        calls.flushFileBuffers = Flush;
        calls.findFirstFileW = Search;
        calls.findNextFileW = SearchNext;
        return true;
    }();
    (void)installed;
}
#else
void InstallWrappers() {}
#endif
