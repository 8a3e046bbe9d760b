// Files that a disk call cannot change while the object lives, made with the
// real conditions each system has, and the error code the call then gets.
#pragma once

#include <memory>

#include "tests/support/TestFiles.h"

// Cannot be replaced: on Windows it is held open without sharing; on Linux
// it is a running program. Error() is what a replacement gets.
class BusyFile {
public:
    explicit BusyFile(const fs::path& path);
    ~BusyFile();
    BusyFile(const BusyFile&) = delete;
    BusyFile& operator=(const BusyFile&) = delete;
    DWORD Error() const;

private:
    struct Hold;
    std::unique_ptr<Hold> hold_;
};

// Cannot be deleted: on Windows it is held open without sharing; on Linux,
// where root may delete anything, the platform layer is told to refuse it.
class UndeletableFile {
public:
    explicit UndeletableFile(const fs::path& path);
    ~UndeletableFile();
    UndeletableFile(const UndeletableFile&) = delete;
    UndeletableFile& operator=(const UndeletableFile&) = delete;
    DWORD Error() const;

private:
    struct Hold;
    std::unique_ptr<Hold> hold_;
};

// A symbolic link at `link` to the directory `target`; false where the
// system makes none.
bool MakeDirectoryLink(const fs::path& target, const fs::path& link);
