// Files, folders and texts for tests: paths named as std::filesystem names
// them and as the code under test names them (backslash paths in a CString),
// files that a disk call cannot change, and texts as failure messages show
// them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <utility>

#include "platform/String.h"

namespace fs = std::filesystem;

fs::path ToFsPath(const CString& path);
CString FromFsPath(const fs::path& path);

// The folder of the running test program, where every built program lies.
fs::path ProgramDirectory();

void WriteFile(const fs::path& path, const std::string& bytes);
std::string ReadFile(const fs::path& path);

// What a tree holds: for each file and folder below the root, by its path
// relative to the root (folders end with '/'), a hash of its bytes (0 for a
// folder) and the time it was last written.
typedef std::map<std::string, std::pair<size_t, fs::file_time_type>> TreeState;
TreeState SnapshotTree(const fs::path& root);

// A new empty folder under the system's temporary folder (or under base),
// removed with everything in it when the object goes.
class TempDir {
public:
    explicit TempDir(const fs::path& base = fs::path());
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// A file that a program cannot have as it would while the object lives. In
// use (kRunning), as a running browser is: it cannot be opened for writing
// (ERROR_SHARING_VIOLATION). Locked (kLocked): it cannot be renamed,
// replaced or deleted either. On Windows both are a file held open without
// sharing. On Linux one in use is a running program, and a locked one is
// immutable (chattr +i), which takes root and a file system that has it:
// IsHeld() tells whether it could be made so.
class BusyFile {
public:
    enum Kind { kRunning, kLocked };
    explicit BusyFile(const fs::path& path, Kind kind = kRunning);
    ~BusyFile();
    BusyFile(const BusyFile&) = delete;
    BusyFile& operator=(const BusyFile&) = delete;

    bool IsHeld() const { return hold_ != 0; }

private:
    fs::path path_;
    Kind kind_;
    // The open file's handle on Windows; on Linux the running program's id,
    // or 1 for an immutable file; 0 when nothing is held.
    intptr_t hold_ = 0;
};

// A symbolic link at `link` to `target` (relative to the link's folder, when
// not absolute), a directory link where that is a directory; false where the
// system makes none.
bool MakeLink(const fs::path& target, const fs::path& link);

// GoogleTest prints CStrings as UTF-8 in its failure messages.
void PrintTo(const CString& text, std::ostream* out);
