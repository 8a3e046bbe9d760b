// Directory searches with Windows' wildcards and a fixed order of entries.
// A search reads its whole directory when it starts and hands the matching
// entries out one by one.
#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/posix/Boundary.h"
#include "platform/posix/Error.h"
#include "platform/posix/SystemCalls.h"
#include "platform/posix/Wildcards.h"

namespace {

struct Entry {
    Utf16Text name;
    DWORD attributes;
};

struct Search {
    std::vector<Entry> entries;
    // FindFirstFileW hands out the first entry.
    size_t next = 1;
    // The error that ended reading the directory early, reported once the
    // entries read before it are handed out; 0 when it was read whole.
    DWORD readError = 0;
};

bool IsDotEntry(const Utf16Text& name) {
    return name == u"." || name == u"..";
}

// "." and ".." first, in that order, as Windows gives them; then the other
// names, case folded.
void SortEntries(std::vector<Entry>& entries) {
    const auto names = std::partition(entries.begin(), entries.end(),
                                      [](const Entry& entry) { return IsDotEntry(entry.name); });
    std::sort(entries.begin(), names,
              [](const Entry& a, const Entry& b) { return a.name.size() < b.name.size(); });
    std::sort(names, entries.end(), [](const Entry& a, const Entry& b) {
        return std::lexicographical_compare(
            a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
            [](WCHAR x, WCHAR y) { return FoldCase(x) < FoldCase(y); });
    });
}

// What the entry `name` of the open folder is, without following a link.
DWORD Attributes(int dirFd, const char* name, unsigned char type) {
    struct stat status;
    if (type == DT_UNKNOWN && fstatat(dirFd, name, &status, AT_SYMLINK_NOFOLLOW) == 0) {
        type = IFTODT(status.st_mode);
    }
    switch (type) {
        case DT_LNK: {
            const bool toDirectory =
                fstatat(dirFd, name, &status, 0) == 0 && S_ISDIR(status.st_mode);
            return FILE_ATTRIBUTE_REPARSE_POINT | (toDirectory ? FILE_ATTRIBUTE_DIRECTORY : 0);
        }
        case DT_DIR:
            return FILE_ATTRIBUTE_DIRECTORY;
        case DT_REG:
        case DT_UNKNOWN:
            return FILE_ATTRIBUTE_NORMAL;
        default:
            return FILE_ATTRIBUTE_DEVICE;
    }
}

void Fill(const Entry& entry, LPWIN32_FIND_DATAW data) {
    data->dwFileAttributes = entry.attributes;
    data->dwReserved0 =
        (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? IO_REPARSE_TAG_SYMLINK : 0;
    const size_t length = std::min<size_t>(entry.name.size(), MAX_PATH - 1);
    entry.name.copy(data->cFileName, length);
    data->cFileName[length] = 0;
}

class Directory {
public:
    explicit Directory(const std::string& path) : dir_(SYSTEM_CALL(opendir)(path.c_str())) {}
    ~Directory() {
        if (dir_ != nullptr) {
            closedir(dir_);
        }
    }
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;
    DIR* get() const { return dir_; }

private:
    DIR* dir_;
};

HANDLE FailSearch(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
    const Utf16Text whole(pattern);
    const size_t slash = whole.rfind(u'\\');
    const Utf16Text filter = slash == Utf16Text::npos ? whole : whole.substr(slash + 1);
    const Utf16Text folder = slash == Utf16Text::npos ? u"." : whole.substr(0, slash + 1);
    if (filter.empty()) {
        return FailSearch(ERROR_FILE_NOT_FOUND);
    }

    auto search = std::make_unique<Search>();
    if (filter.find_first_of(u"*?") == Utf16Text::npos) {
        // One name, looked up as it is.
        const std::string name = ToSystemPath(whole.c_str());
        struct stat status;
        if (SYSTEM_CALL(lstat)(name.c_str(), &status) != 0) {
            FailOn(name);
            return INVALID_HANDLE_VALUE;
        }
        search->entries.push_back(
            {filter, Attributes(AT_FDCWD, name.c_str(), IFTODT(status.st_mode))});
        Fill(search->entries[0], data);
        return search.release();
    }

    const std::string path = ToSystemPath(folder.c_str());
    const Directory directory(path);
    if (directory.get() == nullptr) {
        struct stat status;
        if (errno == ENOTDIR && stat(WithoutTrailingSlashes(path).c_str(), &status) == 0) {
            return FailSearch(ERROR_DIRECTORY);
        }
        return FailSearch(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Win32ErrorFromErrno(errno));
    }

    for (;;) {
        errno = 0;
        const dirent* entry = SYSTEM_CALL(readdir)(directory.get());
        if (entry == nullptr) {
            search->readError = Win32ErrorFromErrno(errno);
            break;
        }
        Utf16Text name = FromSystemPath(entry->d_name);
        if (MatchesWildcards(filter, name)) {
            search->entries.push_back({std::move(name), Attributes(dirfd(directory.get()),
                                                                   entry->d_name, entry->d_type)});
        }
    }
    if (search->entries.empty()) {
        return FailSearch(search->readError != 0 ? search->readError : ERROR_FILE_NOT_FOUND);
    }
    SortEntries(search->entries);
    Fill(search->entries[0], data);
    return search.release();
}

BOOL FindNextFileW(HANDLE handle, LPWIN32_FIND_DATAW data) {
    Search* search = static_cast<Search*>(handle);
    if (search->next < search->entries.size()) {
        Fill(search->entries[search->next++], data);
        return TRUE;
    }
    SetLastError(search->readError != 0 ? search->readError : ERROR_NO_MORE_FILES);
    return FALSE;
}

BOOL FindClose(HANDLE handle) {
    delete static_cast<Search*>(handle);
    return TRUE;
}
