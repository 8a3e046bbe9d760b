#include "platform/posix/Error.h"

#include <cerrno>

#include <sys/stat.h>

#include "platform/posix/Boundary.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

}  // namespace

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD code) {
    lastError = code;
}

DWORD Win32ErrorFromErrno(int error) {
    switch (error) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case ENOEXEC:
            return ERROR_BAD_FORMAT;
        case EROFS:
            return ERROR_WRITE_PROTECT;
        case EXDEV:
            return ERROR_NOT_SAME_DEVICE;
        case ETXTBSY:
            return ERROR_SHARING_VIOLATION;
        case EBUSY:
            return ERROR_BUSY;
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case ELOOP:
            return ERROR_CANT_RESOLVE_FILENAME;
        case EILSEQ:
            return ERROR_NO_UNICODE_TRANSLATION;
        case EIO:
            return ERROR_IO_DEVICE;
        case EMLINK:
            return ERROR_TOO_MANY_LINKS;
        default:
            return ERROR_GEN_FAILURE;
    }
}

BOOL FailWithErrno() {
    return FailWithErrno(errno);
}

BOOL FailWithErrno(int error) {
    SetLastError(Win32ErrorFromErrno(error));
    return FALSE;
}

BOOL FailOn(const std::string& path) {
    if (errno != ENOENT) {
        return FailWithErrno();
    }
    struct stat status;
    const bool parentIsFolder =
        stat(ParentOf(path).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    SetLastError(parentIsFolder ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    return FALSE;
}
