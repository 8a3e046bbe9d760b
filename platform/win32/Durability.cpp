// Durable writes in batches, the Windows way: each file is flushed when it is
// queued and each rename written through, so there is nothing left to wait
// for at the end.
#include "platform/Platform.h"
#include "platform/ScopedHandle.h"

const DWORD kQueuedMoveFlags = MOVEFILE_WRITE_THROUGH;

BOOL QueueFlush(LPCWSTR path) {
    const ScopedHandle file(CreateFileW(path, GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid() && FlushFileBuffers(file.get());
}

BOOL FlushQueued(LPCWSTR) {
    return TRUE;
}
