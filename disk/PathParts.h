// Paths in pieces: split the way the C run-time splits them (drive,
// directory, name and extension, which together give back the whole path),
// and a folder's path without its trailing backslash.
#pragma once

#include "platform/String.h"

struct PathParts {
    // The first two characters when the second is ':'; else empty.
    CString drive;
    // After the drive, up to and including the last backslash or slash.
    CString directory;
    // Up to the last '.' behind the directory, or the whole rest.
    CString name;
    // From that '.' to the end; else empty.
    CString extension;
};

PathParts SplitPath(const CString& path);

// The path without its one trailing backslash, if it has one: a folder as
// the calls that take it as an entry of its parent name it.
CString WithoutTrailingBackslash(const CString& path);
