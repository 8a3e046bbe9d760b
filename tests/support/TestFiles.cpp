#include "tests/support/TestFiles.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/Utf8.h"

#ifndef _WIN32
#include "platform/posix/Boundary.h"
#endif

#ifdef _WIN32
fs::path ToFsPath(const CString& path) {
    return fs::path(static_cast<LPCWSTR>(path));
}

CString FromFsPath(const fs::path& path) {
    std::wstring text = path.native();
    std::replace(text.begin(), text.end(), L'/', L'\\');
    return CString(text.c_str());
}
#else
// Through the layer's own boundary, so that every name the tests make
// reaches the code under test as the code sees names from the system.
fs::path ToFsPath(const CString& path) {
    return fs::path(ToSystemPath(path));
}

CString FromFsPath(const fs::path& path) {
    const Utf16Text text = FromSystemPath(path.native());
    return CString(text.c_str(), static_cast<int>(text.size()));
}
#endif

fs::path ProgramDirectory() {
    WCHAR buffer[4096] = {};
    GetModuleFileNameW(nullptr, buffer, 4096);
    return ToFsPath(buffer).parent_path();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

TreeState SnapshotTree(const fs::path& root) {
    TreeState state;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const bool folder = entry.is_directory();
        const std::string name = fs::relative(entry.path(), root).generic_string();
        state[folder ? name + '/' : name] = {
            folder ? 0 : std::hash<std::string>()(ReadFile(entry.path())), entry.last_write_time()};
    }
    return state;
}

TempDir::TempDir(const fs::path& under) {
    // The launcher reports the folders it finds through the resolved path
    // of its own executable, so the test compares against resolved paths.
    const fs::path base = fs::canonical(under.empty() ? fs::temp_directory_path() : under);
    std::random_device random;
    do {
        path_ = base / ("tavrel-test-" + std::to_string(random()));
    } while (!fs::create_directory(path_));
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void PrintTo(const CString& text, std::ostream* out) {
    *out << '"' << ToUtf8(text) << '"';
}
