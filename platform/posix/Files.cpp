// The file-system calls that take paths, over POSIX, with Windows' results
// and error codes.
#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <limits.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/Boundary.h"
#include "platform/posix/Durability.h"
#include "platform/posix/Error.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/SystemCalls.h"

namespace {

bool IsDirectory(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// In the kernel where it can (as cp does), else through a buffer.
bool CopyContents(int from, int to) {
    bool inKernel = true;
    for (;;) {
        const ssize_t copied =
            inKernel ? SYSTEM_CALL(copy_file_range)(from, nullptr, to, nullptr, 1 << 30, 0)
                     : sendfile(to, from, nullptr, 1 << 30);
        if (copied > 0) {
            continue;
        }
        if (copied == 0) {
            return true;
        }
        if (errno == EINTR) {
            continue;
        }
        const bool unsupported =
            errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP;
        if (!inKernel || !unsupported) {
            return false;
        }
        inKernel = false;
    }
}

// A program that runs cannot be opened for writing (ETXTBSY): Windows
// refuses to replace a file in use, and this is the use Linux can tell. Only
// a file that some may run can be running.
bool IsRunningProgram(const std::string& path, const struct stat& status) {
    if (!S_ISREG(status.st_mode) || (status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) == 0) {
        return false;
    }
    const FileDescriptor file(
        SYSTEM_CALL(open)(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    return !file.IsOpen() && errno == ETXTBSY;
}

// Renames in one step where nothing has the new name. A file system that has
// no such rename (NFS, and FUSE without rename2, answer EINVAL) gets a file a
// second name, which fails where something has it too, before it loses its
// first; a folder, which takes no second name, is renamed where nothing was
// found under the new name.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (SYSTEM_CALL(renameat2)(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) ==
        0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    struct stat status;
    if (lstat(from.c_str(), &status) != 0) {
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        if (lstat(to.c_str(), &status) == 0) {
            errno = EEXIST;
            return false;
        }
        return SYSTEM_CALL(rename)(from.c_str(), to.c_str()) == 0;
    }
    if (SYSTEM_CALL(link)(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    if (SYSTEM_CALL(unlink)(from.c_str()) == 0) {
        return true;
    }
    const int error = errno;
    SYSTEM_CALL(unlink)(to.c_str());
    errno = error;
    return false;
}

}  // namespace

DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer) {
    std::string current(PATH_MAX, '\0');
    while (SYSTEM_CALL(getcwd)(&current[0], current.size()) == nullptr) {
        if (errno != ERANGE) {
            FailWithErrno();
            return 0;
        }
        current.resize(current.size() * 2);
    }
    current.resize(current.find('\0'));
    const Utf16Text path = FromSystemPath(current);
    // Too small a buffer gets nothing, and the answer is the size it needs.
    if (path.size() + 1 > size) {
        return static_cast<DWORD>(path.size() + 1);
    }
    path.copy(buffer, path.size());
    buffer[path.size()] = 0;
    return static_cast<DWORD>(path.size());
}

BOOL SetCurrentDirectoryW(LPCWSTR path) {
    const std::string target = ToSystemPath(path);
    if (chdir(target.c_str()) != 0) {
        if (errno == ENOTDIR && access(WithoutTrailingSlashes(target).c_str(), F_OK) == 0) {
            SetLastError(ERROR_DIRECTORY);
            return FALSE;
        }
        return FailOn(target);
    }
    return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR path) {
    const std::string name = ToSystemPath(path);
    struct stat status;
    if (lstat(name.c_str(), &status) != 0) {
        FailOn(name);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISLNK(status.st_mode)) {
        return FILE_ATTRIBUTE_REPARSE_POINT | (IsDirectory(name) ? FILE_ATTRIBUTE_DIRECTORY : 0);
    }
    if (S_ISDIR(status.st_mode)) {
        return FILE_ATTRIBUTE_DIRECTORY;
    }
    return S_ISREG(status.st_mode) ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DEVICE;
}

BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes) {
    const std::string name = ToSystemPath(path);
    struct stat status;
    if (stat(name.c_str(), &status) != 0) {
        return FailOn(name);
    }
    const mode_t writable = S_IWUSR | S_IWGRP | S_IWOTH;
    const mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) != 0
                            ? status.st_mode & ~writable
                            : status.st_mode | ((status.st_mode & writable) == 0 ? S_IWUSR : 0);
    return chmod(name.c_str(), mode & 07777) == 0 ? TRUE : FailOn(name);
}

// Overwrites the target unless told not to, and keeps the source's
// permission bits (a copied program stays runnable) and modification time.
BOOL CopyFileW(LPCWSTR existing, LPCWSTR target, BOOL failIfExists) {
    const std::string from = ToSystemPath(existing);
    const std::string to = ToSystemPath(target);
    const FileDescriptor source(SYSTEM_CALL(open)(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status;
    if (!source.IsOpen() || fstat(source.get(), &status) != 0) {
        return FailOn(from);
    }
    // A target that must not exist is made anew (O_EXCL); one that may is
    // looked at first.
    struct stat old;
    const bool overwrites = !failIfExists && stat(to.c_str(), &old) == 0;
    if (!S_ISREG(status.st_mode) || (overwrites && !S_ISREG(old.st_mode))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // Truncating the target would empty the source.
    if (overwrites && old.st_dev == status.st_dev && old.st_ino == status.st_ino) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    // A new file, or the old one emptied.
    const int replacing = failIfExists ? O_EXCL : O_TRUNC;
    const FileDescriptor copy(
        SYSTEM_CALL(open)(to.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | replacing,
                          status.st_mode & 07777));
    if (!copy.IsOpen()) {
        if (errno == EEXIST) {
            SetLastError(ERROR_FILE_EXISTS);
            return FALSE;
        }
        return FailOn(to);
    }
    const timespec times[2] = {status.st_atim, status.st_mtim};
    if (!CopyContents(source.get(), copy.get()) ||
        fchmod(copy.get(), status.st_mode & 07777) != 0 || futimens(copy.get(), times) != 0) {
        const int error = errno;
        SYSTEM_CALL(unlink)(to.c_str());
        return FailWithErrno(error);
    }
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR path) {
    const std::string name = ToSystemPath(path);
    return SYSTEM_CALL(unlink)(name.c_str()) == 0 ? TRUE : FailOn(name);
}

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES) {
    if (SYSTEM_CALL(mkdir)(ToSystemPath(path).c_str(), 0777) == 0) {
        return TRUE;
    }
    // A level missing on the way, or a file in its place, is a bad path.
    if (errno == ENOENT || errno == ENOTDIR) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return FailWithErrno();
}

// A link to a directory is removed itself, as Windows removes a directory
// link, and what it points at stays untouched. Windows removes such a link
// whether what it points at is still there or not; a link whose target is
// gone goes too, since nothing tells any more what it pointed at.
BOOL RemoveDirectoryW(LPCWSTR path) {
    const std::string name = WithoutTrailingSlashes(ToSystemPath(path));
    struct stat status;
    if (lstat(name.c_str(), &status) != 0) {
        return FailOn(name);
    }
    if (S_ISLNK(status.st_mode)) {
        struct stat target;
        if (stat(name.c_str(), &target) == 0 && !S_ISDIR(target.st_mode)) {
            SetLastError(ERROR_DIRECTORY);
            return FALSE;
        }
        return SYSTEM_CALL(unlink)(name.c_str()) == 0 ? TRUE : FailOn(name);
    }
    if (SYSTEM_CALL(rmdir)(name.c_str()) == 0) {
        return TRUE;
    }
    if (errno == ENOTDIR) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    if (errno == EEXIST) {
        errno = ENOTEMPTY;
    }
    return FailOn(name);
}

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR target, DWORD flags) {
    const std::string from = ToSystemPath(existing);
    const std::string to = WithoutTrailingSlashes(ToSystemPath(target));
    if ((flags & MOVEFILE_REPLACE_EXISTING) == 0) {
        if (!RenameWithoutReplacing(from, to)) {
            return FailOn(from);
        }
    } else if (SYSTEM_CALL(renameat2)(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(),
                                      RENAME_NOREPLACE) != 0) {
        // Only what is at the new name needs a look first, which most often
        // is nothing.
        struct stat old;
        if (errno != EEXIST && errno != EINVAL && errno != ENOSYS) {
            return FailOn(from);
        }
        if (lstat(to.c_str(), &old) == 0 && (S_ISDIR(old.st_mode) || IsRunningProgram(to, old))) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (SYSTEM_CALL(rename)(from.c_str(), to.c_str()) != 0) {
            return FailOn(from);
        }
    }
    return (flags & MOVEFILE_WRITE_THROUGH) != 0 ? FlushFolderOf(to) : TRUE;
}

BOOL CreateHardLinkW(LPCWSTR newName, LPCWSTR existing, LPSECURITY_ATTRIBUTES) {
    const std::string from = ToSystemPath(existing);
    return SYSTEM_CALL(link)(from.c_str(), ToSystemPath(newName).c_str()) == 0 ? TRUE
                                                                               : FailOn(from);
}
