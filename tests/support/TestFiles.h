// Files and folders for tests, named as std::filesystem names them and as the
// code under test names them (backslash paths in a CString).
#pragma once

#include <filesystem>
#include <string>

#include "platform/String.h"

namespace fs = std::filesystem;

fs::path ToFsPath(const CString& path);
CString FromFsPath(const fs::path& path);

// The folder of the running test program, where every built program lies.
fs::path ProgramDirectory();

void WriteFile(const fs::path& path, const std::string& bytes);
std::string ReadFile(const fs::path& path);

// A new empty folder under the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};
