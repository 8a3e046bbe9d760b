#include "launcher/UpdateLock.h"

#include "disk/FileSearch.h"

namespace {

const DWORD kPollMilliseconds = 10;

// What stands where the lock file goes and is no file to lock: removed
// itself, never what it points at.
void RemoveImpostor(const CString& path) {
    const FileSearch entry(path);
    if (!entry.IsOpen() || !(entry.IsLink() || entry.IsDevice())) {
        return;
    }
    if (entry.IsDirectory()) {
        RemoveDirectoryW(path);
    } else {
        DeleteFileW(path);
    }
}

HANDLE OpenLockFile(const CString& path) {
    RemoveImpostor(path);
    // Anyone may lock the file who may read it; no one may remove or
    // rename it while it is open (on Windows), which would part the next
    // start's lock from this one.
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

}  // namespace

UpdateLock::UpdateLock(const CString& path, DWORD milliseconds) : file_(OpenLockFile(path)) {
    if (!file_.IsValid()) {
        return;
    }
    for (DWORD waited = 0;; waited += kPollMilliseconds) {
        OVERLAPPED whole = {};
        if (LockFileEx(file_.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                       MAXDWORD, MAXDWORD, &whole)) {
            held_ = true;
            return;
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION || waited >= milliseconds) {
            return;
        }
        Sleep(kPollMilliseconds);
    }
}
