// Open files and folders as handles.
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/Boundary.h"
#include "platform/posix/Error.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/SystemCalls.h"

namespace {

struct FileHandle {
    int fd;
};

int OpenFlags(DWORD access, DWORD disposition, DWORD flags) {
    int open = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    const DWORD readWrite = GENERIC_READ | GENERIC_WRITE;
    if ((access & readWrite) == readWrite) {
        open |= O_RDWR;
    } else if ((access & GENERIC_WRITE) != 0) {
        open |= O_WRONLY;
    } else if ((access & GENERIC_READ) == 0 && disposition == OPEN_EXISTING) {
        open |= O_PATH;
    }
    if (disposition == CREATE_NEW) {
        // Never through a link: O_EXCL refuses any entry at the name.
        open |= O_CREAT | O_EXCL;
    } else if (disposition == OPEN_ALWAYS) {
        open |= O_CREAT;
    }
    if ((flags & FILE_FLAG_OPEN_REPARSE_POINT) != 0) {
        open |= O_NOFOLLOW;
    }
    return open;
}

int Descriptor(HANDLE handle) {
    return static_cast<FileHandle*>(handle)->fd;
}

// A read or write that failed. The handle is open, so a bad descriptor is
// one not opened for that transfer, which Windows calls a denied access.
BOOL FailTransfer() {
    return FailWithErrno(errno == EBADF ? EACCES : errno);
}

// flock locks whole files: the one range that means the whole file.
bool IsWholeFile(DWORD lengthLow, DWORD lengthHigh, LPOVERLAPPED overlapped) {
    return lengthLow == MAXDWORD && lengthHigh == MAXDWORD && overlapped != nullptr &&
           overlapped->Offset == 0 && overlapped->OffsetHigh == 0;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition,
                   DWORD flags, HANDLE) {
    if (disposition != OPEN_EXISTING && disposition != CREATE_NEW && disposition != OPEN_ALWAYS) {
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
    FileDescriptor file(
        SYSTEM_CALL(open)(name.c_str(), OpenFlags(access, disposition, flags), 0666));
    if (!file.IsOpen()) {
        if (errno == EEXIST) {
            SetLastError(ERROR_FILE_EXISTS);
        } else {
            FailOn(name);
        }
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
    if (fstat(Descriptor(handle), &status) != 0) {
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

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED) {
    ssize_t count;
    do {
        count = ::read(Descriptor(handle), buffer, size);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        *read = 0;
        return FailTransfer();
    }
    *read = static_cast<DWORD>(count);
    return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD size, LPDWORD written, LPOVERLAPPED) {
    const char* bytes = static_cast<const char*>(buffer);
    *written = 0;
    while (*written < size) {
        const ssize_t count =
            SYSTEM_CALL(write)(Descriptor(handle), bytes + *written, size - *written);
        if (count < 0 && errno != EINTR) {
            return FailTransfer();
        }
        *written += static_cast<DWORD>(count > 0 ? count : 0);
    }
    return TRUE;
}

BOOL LockFileEx(HANDLE handle, DWORD flags, DWORD, DWORD lengthLow, DWORD lengthHigh,
                LPOVERLAPPED overlapped) {
    if (!IsWholeFile(lengthLow, lengthHigh, overlapped)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    const int operation = ((flags & LOCKFILE_EXCLUSIVE_LOCK) != 0 ? LOCK_EX : LOCK_SH) |
                          ((flags & LOCKFILE_FAIL_IMMEDIATELY) != 0 ? LOCK_NB : 0);
    int result;
    do {
        result = flock(Descriptor(handle), operation);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        return errno == EWOULDBLOCK ? (SetLastError(ERROR_LOCK_VIOLATION), FALSE) : FailWithErrno();
    }
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    const FileHandle* file = static_cast<FileHandle*>(handle);
    const int result = close(file->fd);
    delete file;
    return result == 0 ? TRUE : FailWithErrno();
}
