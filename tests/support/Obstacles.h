// Files that a disk call cannot change while the object lives, made with the
// real conditions each system has, and the error code the call then gets.
#pragma once

#include <cstdint>
#include <string>

#include "tests/support/TestFiles.h"

// Cannot be replaced: on Windows it is held open without sharing; on Linux
// it is a running program. Error() is what a replacement gets.
class BusyFile {
public:
    explicit BusyFile(const fs::path& path);
    ~BusyFile();
    BusyFile(const BusyFile&) = delete;
    BusyFile& operator=(const BusyFile&) = delete;
    DWORD Error() const { return ERROR_ACCESS_DENIED; }

private:
    // The open file's handle on Windows; the running program's id on Linux.
    intptr_t hold_;
};

// Cannot be deleted: on Windows it is held open without sharing; on Linux,
// where root may delete anything, the platform layer is told to refuse it.
class UndeletableFile {
public:
    explicit UndeletableFile(const fs::path& path);
    ~UndeletableFile();
    UndeletableFile(const UndeletableFile&) = delete;
    UndeletableFile& operator=(const UndeletableFile&) = delete;
#ifdef _WIN32
    DWORD Error() const {
        return ERROR_SHARING_VIOLATION;
    }
#else
    DWORD Error() const {
        return ERROR_ACCESS_DENIED;
    }
#endif

private:
    // The open file's handle on Windows; the refused name on Linux.
    intptr_t hold_ = 0;
    std::u16string name_;
};

// A symbolic link at `link` to the directory `target`; false where the
// system makes none.
bool MakeDirectoryLink(const fs::path& target, const fs::path& link);
