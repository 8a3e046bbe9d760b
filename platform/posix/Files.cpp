// The file-system calls, over POSIX, with Windows' results and error codes.
#include <cerrno>
#include <string>

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/Boundary.h"
#include "platform/posix/Error.h"

namespace {

bool HasWildcard(const WCHAR* path) {
    for (; *path != 0; ++path) {
        if (*path == u'*' || *path == u'?') {
            return true;
        }
    }
    return false;
}

}  // namespace

int _wstat(const WCHAR* path, struct _stat* status) {
    // Windows cannot name a file with a wildcard in it.
    if (HasWildcard(path)) {
        errno = ENOENT;
        return -1;
    }
    struct stat native;
    if (stat(ToSystemPath(path).c_str(), &native) != 0) {
        return -1;
    }
    status->st_mode = native.st_mode;
    status->st_size = native.st_size;
    return 0;
}

DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer) {
    std::string current(PATH_MAX, '\0');
    while (getcwd(&current[0], current.size()) == nullptr) {
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
    if (chdir(ToSystemPath(path).c_str()) != 0) {
        return FailWithErrno();
    }
    return TRUE;
}
