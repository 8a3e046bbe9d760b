// Open files and folders as handles.
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/Boundary.h"
#include "platform/posix/Error.h"
#include "platform/posix/FaultInjection.h"
#include "platform/posix/FileDescriptor.h"

namespace {

struct FileHandle {
    int fd;
};

int OpenFlags(DWORD access, DWORD flags) {
    int open = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    const DWORD readWrite = GENERIC_READ | GENERIC_WRITE;
    if ((access & readWrite) == readWrite) {
        open |= O_RDWR;
    } else if ((access & GENERIC_WRITE) != 0) {
        open |= O_WRONLY;
    } else if ((access & GENERIC_READ) != 0) {
        open |= O_RDONLY;
    } else {
        open |= O_PATH;
    }
    if ((flags & FILE_FLAG_OPEN_REPARSE_POINT) != 0) {
        open |= O_NOFOLLOW;
    }
    return open;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition,
                   DWORD flags, HANDLE) {
    if (disposition != OPEN_EXISTING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::string name = ToSystemPath(path);
    // A FIFO, device or socket is never opened for reading or writing: a
    // FIFO would wait for its other end.
    struct stat status;
    const bool readsOrWrites = (access & (GENERIC_READ | GENERIC_WRITE)) != 0;
    if (readsOrWrites && lstat(name.c_str(), &status) == 0 && !S_ISREG(status.st_mode) &&
        !S_ISDIR(status.st_mode) && !S_ISLNK(status.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    // Without access asked, a link itself is opened, as Windows opens a
    // reparse point.
    FileDescriptor file(open(name.c_str(), OpenFlags(access, flags)));
    if (file.get() < 0) {
        FailOn(name);
        return INVALID_HANDLE_VALUE;
    }
    // Windows opens a folder only when asked to.
    if ((flags & FILE_FLAG_BACKUP_SEMANTICS) == 0 &&
        (fstat(file.get(), &status) != 0 || S_ISDIR(status.st_mode))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return new FileHandle{file.release()};
}

BOOL GetFileInformationByHandle(HANDLE handle, LPBY_HANDLE_FILE_INFORMATION information) {
    struct stat status;
    if (fstat(static_cast<FileHandle*>(handle)->fd, &status) != 0) {
        return FailWithErrno();
    }
    const auto device = static_cast<uint64_t>(status.st_dev);
    const auto index = static_cast<uint64_t>(status.st_ino);
    const auto size = static_cast<uint64_t>(status.st_size);
    information->dwFileAttributes = S_ISDIR(status.st_mode)   ? FILE_ATTRIBUTE_DIRECTORY
                                    : S_ISLNK(status.st_mode) ? FILE_ATTRIBUTE_REPARSE_POINT
                                                              : FILE_ATTRIBUTE_NORMAL;
    information->dwVolumeSerialNumber = static_cast<DWORD>(device ^ (device >> 32));
    information->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    information->nFileSizeLow = static_cast<DWORD>(size);
    information->nNumberOfLinks = static_cast<DWORD>(status.st_nlink);
    information->nFileIndexHigh = static_cast<DWORD>(index >> 32);
    information->nFileIndexLow = static_cast<DWORD>(index);
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    const FileHandle* file = static_cast<FileHandle*>(handle);
    const int result = close(file->fd);
    delete file;
    return result == 0 ? TRUE : FailWithErrno();
}
