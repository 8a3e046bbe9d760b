#include "tests/support/TestFiles.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

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
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

namespace {

const uint64_t kHashPrime = 1099511628211ull;

// FNV-1a over 8-byte words, then over the bytes left at the end. Each step is
// one-to-one in the word and in the hash so far, so two files of one length
// that differ in one word never hash alike.
uint64_t HashOfFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    uint64_t hash = 14695981039346656037ull;
    char buffer[1 << 16];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        const size_t count = static_cast<size_t>(file.gcount());
        size_t i = 0;
        for (; i + sizeof(uint64_t) <= count; i += sizeof(uint64_t)) {
            uint64_t word;
            std::memcpy(&word, buffer + i, sizeof word);
            hash = (hash ^ word) * kHashPrime;
        }
        for (; i < count; ++i) {
            hash = (hash ^ static_cast<unsigned char>(buffer[i])) * kHashPrime;
        }
    }
    return hash;
}

}  // namespace

TreeState SnapshotTree(const fs::path& root) {
    TreeState state;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        std::string name = fs::relative(entry.path(), root).generic_string();
        const bool folder = entry.is_directory();
        if (folder) {
            name += '/';
        }
        state[name] = {folder ? 0 : HashOfFile(entry.path()), entry.last_write_time()};
    }
    return state;
}

TempDir::TempDir(const fs::path& under) {
    // The launcher reports the folders it finds through the resolved path
    // of its own executable, so the test compares against resolved paths.
    const fs::path base = fs::canonical(under.empty() ? fs::temp_directory_path() : under);
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (;;) {
        path_ =
            base / ("tavrel-test-" + std::to_string(random()) + "-" + std::to_string(++counter));
        if (fs::create_directory(path_)) {
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}
