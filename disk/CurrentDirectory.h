// The process's current directory, which some disk operations change for a
// moment and always put back.
#pragma once

#include "platform/String.h"

// The whole current directory, however long; empty when it cannot be read.
CString ReadCurrentDirectory();

// Holds the current directory from its construction and sets it back when it
// goes.
class CurrentDirectoryKeeper {
public:
    CurrentDirectoryKeeper();
    explicit CurrentDirectoryKeeper(const CString& current) : saved_(current) {}
    ~CurrentDirectoryKeeper();
    CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
    CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

private:
    CString saved_;
};
