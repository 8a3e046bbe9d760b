// Files and folders for tests, named as std::filesystem names them and as the
// code under test names them (backslash paths in a CString).
#pragma once

#include <filesystem>
#include <map>
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
