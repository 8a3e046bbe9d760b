// Durable writes in batches, the Windows way: each file is flushed when it is
// queued and each rename written through, so there is nothing left to wait
// for at the end.
#include "platform/Platform.h"
#include "platform/ScopedHandle.h"

namespace {

BOOL Flush(LPCWSTR path) {
    const ScopedHandle file(CreateFileW(path, GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid() && FlushFileBuffers(file.get());
}

}  // namespace

const DWORD kQueuedMoveFlags = MOVEFILE_WRITE_THROUGH;

// Only a handle open for writing is flushed: a read-only file (one copied
// with its attribute) is made writable for its flush, and read-only again.
BOOL QueueFlush(LPCWSTR path) {
    if (Flush(path)) {
        return TRUE;
    }
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(path);
    const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        writable == attributes ||
        !SetFileAttributesW(path, writable != 0 ? writable : FILE_ATTRIBUTE_NORMAL)) {
        SetLastError(error);
        return FALSE;
    }
    const BOOL flushed = Flush(path);
    const DWORD flushError = GetLastError();
    SetFileAttributesW(path, attributes);
    SetLastError(flushError);
    return flushed;
}

BOOL FlushQueued(LPCWSTR) {
    return TRUE;
}
