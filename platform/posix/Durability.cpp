// Durable writes in batches: the kernel writes each file back on its own,
// and one wait covers the whole file system. Starting each file's write-back
// here (sync_file_range) was measured to cost more than it saves: the
// submission then runs on this thread instead of the kernel's flusher.
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/Boundary.h"
#include "platform/posix/Error.h"
#include "platform/posix/FaultInjection.h"
#include "platform/posix/FileDescriptor.h"

BOOL BeginFlushFile(LPCWSTR path) {
    return FaultInjected(FaultPoint::BeginFlushFile, path) ? FALSE : TRUE;
}

BOOL FinishFlushes(LPCWSTR path) {
    if (FaultInjected(FaultPoint::FinishFlushes, path)) {
        return FALSE;
    }
    const std::string name = ToSystemPath(path);
    const FileDescriptor file(open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        return FailOn(name);
    }
    return syncfs(file.get()) == 0 ? TRUE : FailWithErrno();
}
