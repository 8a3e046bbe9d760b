#include "tests/support/TestFiles.h"

#include <stdexcept>

BusyFile::BusyFile(const fs::path& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot hold " + path.string());
    }
    hold_ = reinterpret_cast<intptr_t>(file);
}

BusyFile::~BusyFile() {
    CloseHandle(reinterpret_cast<HANDLE>(hold_));
}

bool MakeDirectoryLink(const fs::path& target, const fs::path& link) {
    const DWORD unprivileged = 0x2;
    // Some systems answer success and make nothing: the link must be there.
    return CreateSymbolicLinkW(link.c_str(), target.c_str(),
                               SYMBOLIC_LINK_FLAG_DIRECTORY | unprivileged) &&
           GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}
