#include "tests/support/TestFiles.h"

#include <stdexcept>

BusyFile::BusyFile(const fs::path& path, Kind kind) : path_(path), kind_(kind) {
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

// Some systems answer success and make nothing: the link must be there.
bool MakeLink(const fs::path& target, const fs::path& link) {
    const DWORD unprivileged = 0x2;
    const DWORD directory =
        fs::is_directory(link.parent_path() / target) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    return CreateSymbolicLinkW(link.c_str(), target.c_str(), directory | unprivileged) &&
           GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}
