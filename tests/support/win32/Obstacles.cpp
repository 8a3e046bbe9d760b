#include "tests/support/Obstacles.h"

#include <stdexcept>

namespace {

HANDLE OpenWithoutSharing(const fs::path& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot hold " + path.string());
    }
    return file;
}

}  // namespace

struct BusyFile::Hold {
    HANDLE file;
};

BusyFile::BusyFile(const fs::path& path) : hold_(new Hold{OpenWithoutSharing(path)}) {}

BusyFile::~BusyFile() {
    CloseHandle(hold_->file);
}

DWORD BusyFile::Error() const {
    return ERROR_ACCESS_DENIED;
}

struct UndeletableFile::Hold {
    HANDLE file;
};

UndeletableFile::UndeletableFile(const fs::path& path)
    : hold_(new Hold{OpenWithoutSharing(path)}) {}

UndeletableFile::~UndeletableFile() {
    CloseHandle(hold_->file);
}

DWORD UndeletableFile::Error() const {
    return ERROR_SHARING_VIOLATION;
}

bool MakeDirectoryLink(const fs::path& target, const fs::path& link) {
    const DWORD unprivileged = 0x2;
    // Some systems answer success and make nothing: the link must be there.
    return CreateSymbolicLinkW(link.c_str(), target.c_str(),
                               SYMBOLIC_LINK_FLAG_DIRECTORY | unprivileged) &&
           GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}
