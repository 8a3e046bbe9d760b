// Durable writes in batches: the kernel writes each file back on its own,
// and one wait covers the whole file system. Starting each file's write-back
// when it is queued (sync_file_range) was measured to cost more than it
// saves: the submission then runs on this thread instead of the kernel's
// flusher.
#include "platform/posix/Durability.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/Platform.h"
#include "platform/posix/Boundary.h"
#include "platform/posix/Error.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/SystemCalls.h"

const DWORD kQueuedMoveFlags = 0;

BOOL QueueFlush(LPCWSTR) {
    return TRUE;
}

BOOL FlushQueued(LPCWSTR folder) {
    const std::string name = ToSystemPath(folder);
    const FileDescriptor file(SYSTEM_CALL(open)(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.IsOpen()) {
        return FailOn(name);
    }
    return SYSTEM_CALL(syncfs)(file.get()) == 0 ? TRUE : FailWithErrno();
}

BOOL FlushFolderOf(const std::string& path) {
    const FileDescriptor folder(
        SYSTEM_CALL(open)(ParentOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen() || SYSTEM_CALL(fsync)(folder.get()) != 0) {
        return FailWithErrno();
    }
    return TRUE;
}
