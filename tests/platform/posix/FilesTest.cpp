// The file calls over POSIX answer as Windows does: its error codes, its
// message texts, its search order and wildcards.
#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/TestFiles.h"
#include "tests/support/TestStrings.h"

namespace {

class FilesTest : public ::testing::Test {
protected:
    // A path below the temporary folder, written as the code under test
    // writes paths: wildcards stay wildcards.
    CString Path(const char* relative) const {
        CString path = FromFsPath(temp.path()) + TEXT('\\');
        for (const char* p = relative; *p != 0; ++p) {
            path += static_cast<WCHAR>(*p == '/' ? '\\' : *p);
        }
        return path;
    }
    void Make(const char* relative) const { WriteFile(temp.path() / relative, relative); }

    TempDir temp;
};

TEST_F(FilesTest, FailuresGiveWindowsErrorCodes) {
    Make("file");
    fs::create_directories(temp.path() / "full/sub");
    const struct {
        const char* name;
        std::function<BOOL()> call;
        DWORD error;
    } cases[] = {
        {"delete a missing file", [&] { return DeleteFileW(Path("missing")); },
         ERROR_FILE_NOT_FOUND},
        {"delete in a missing folder", [&] { return DeleteFileW(Path("missing/x")); },
         ERROR_PATH_NOT_FOUND},
        {"delete a folder", [&] { return DeleteFileW(Path("full")); }, ERROR_ACCESS_DENIED},
        {"create what exists", [&] { return CreateDirectoryW(Path("full"), nullptr); },
         ERROR_ALREADY_EXISTS},
        {"create below a file", [&] { return CreateDirectoryW(Path("file/x"), nullptr); },
         ERROR_PATH_NOT_FOUND},
        {"create in a missing folder", [&] { return CreateDirectoryW(Path("no/x"), nullptr); },
         ERROR_PATH_NOT_FOUND},
        {"remove a full folder", [&] { return RemoveDirectoryW(Path("full") + TEXT('\\')); },
         ERROR_DIR_NOT_EMPTY},
        {"remove a file as folder", [&] { return RemoveDirectoryW(Path("file")); },
         ERROR_DIRECTORY},
        {"enter a file", [&] { return SetCurrentDirectoryW(Path("file")); }, ERROR_DIRECTORY},
        {"enter a missing folder", [&] { return SetCurrentDirectoryW(Path("missing")); },
         ERROR_FILE_NOT_FOUND},
        {"copy a missing file", [&] { return CopyFileW(Path("missing"), Path("x"), FALSE); },
         ERROR_FILE_NOT_FOUND},
        {"copy a folder", [&] { return CopyFileW(Path("full"), Path("x"), FALSE); },
         ERROR_ACCESS_DENIED},
        {"copy onto a kept file", [&] { return CopyFileW(Path("file"), Path("file"), TRUE); },
         ERROR_FILE_EXISTS},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(c.call()) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
}

TEST_F(FilesTest, CopyKeepsPermissionsAndModificationTime) {
    Make("program");
    const fs::path source = temp.path() / "program";
    chmod(source.c_str(), 0751);
    const fs::file_time_type then = fs::last_write_time(source) - std::chrono::hours(24);
    fs::last_write_time(source, then);
    Make("copy");

    EXPECT_TRUE(CopyFileW(Path("program"), Path("copy"), FALSE));
    const fs::path copy = temp.path() / "copy";
    EXPECT_EQ(ReadFile(copy), "program");
    EXPECT_EQ(fs::status(copy).permissions(), fs::status(source).permissions());
    EXPECT_EQ(fs::last_write_time(copy), then);
}

TEST_F(FilesTest, SearchesGiveAFixedOrderAndWindowsAttributes) {
    for (const char* name : {"B", "a", "c.txt"}) {
        Make(name);
    }
    fs::create_directory(temp.path() / "sub");
    fs::create_directory_symlink(temp.path() / "sub", temp.path() / "dirlink");
    fs::create_symlink(temp.path() / "B", temp.path() / "filelink");

    std::vector<std::pair<CString, DWORD>> found;
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(Path("*.*"), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        found.emplace_back(data.cFileName, data.dwFileAttributes);
    } while (FindNextFileW(search, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    FindClose(search);

    const DWORD directory = FILE_ATTRIBUTE_DIRECTORY;
    const DWORD link = FILE_ATTRIBUTE_REPARSE_POINT;
    const std::vector<std::pair<CString, DWORD>> expected = {
        {TEXT("."), directory},
        {TEXT(".."), directory},
        {TEXT("a"), FILE_ATTRIBUTE_NORMAL},
        {TEXT("B"), FILE_ATTRIBUTE_NORMAL},
        {TEXT("c.txt"), FILE_ATTRIBUTE_NORMAL},
        {TEXT("dirlink"), link | directory},
        {TEXT("filelink"), link},
        {TEXT("sub"), directory},
    };
    EXPECT_EQ(found, expected);
}

// Every byte a Linux name can hold, and the UTF-8 forms of the code points
// that stand for \ and : in names: each name is found as one component, with
// no separator, drive or wildcard in it, and names its own file again.
TEST_F(FilesTest, EveryNameComesBackAsTheSameBytes) {
    std::vector<std::string> names;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != '/') {
            names.push_back("n" + std::string(1, static_cast<char>(byte)) + "e");
        }
    }
    names.push_back("\xEF\x81\x9C..\xEF\x81\x9Cx");
    names.push_back("c\xEF\x80\xBA");
    names.push_back("..\\..\\x");
    fs::create_directories(temp.path() / "from");
    fs::create_directories(temp.path() / "to");
    for (const std::string& name : names) {
        WriteFile(temp.path() / "from" / name, name);
    }

    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(Path("from/*.*"), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        const CString name = data.cFileName;
        if (name == CString(TEXT(".")) || name == CString(TEXT(".."))) {
            continue;
        }
        for (const WCHAR forbidden : {TEXT('\\'), TEXT(':'), TEXT('*'), TEXT('?')}) {
            EXPECT_LT(name.Find(forbidden), 0) << name;
        }
        EXPECT_TRUE(CopyFileW(Path("from/") + name, Path("to/") + name, FALSE)) << name;
    } while (FindNextFileW(search, &data));
    FindClose(search);
    for (const std::string& name : names) {
        EXPECT_EQ(ReadFile(temp.path() / "to" / name), name);
    }
}

TEST_F(FilesTest, CurrentDirectoryComesBackAsTheSameBytes) {
    const fs::path folder = temp.path() / "a\\b:c*d?e\"<f>|g\xEF\x81\x9C\xFF";
    fs::create_directories(folder);
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    WCHAR current[4096];
    ASSERT_GT(GetCurrentDirectoryW(4096, current), 0u);
    fs::current_path(before);
    EXPECT_TRUE(SetCurrentDirectoryW(current));
    EXPECT_EQ(fs::current_path(), folder);
    fs::current_path(before);
}

TEST_F(FilesTest, SearchesThatCannotStartSayWhy) {
    Make("file");
    const struct {
        const char* pattern;
        DWORD error;
    } cases[] = {
        {"*.log", ERROR_FILE_NOT_FOUND},
        {"missing/*.*", ERROR_PATH_NOT_FOUND},
        {"file/*.*", ERROR_DIRECTORY},
    };
    for (const auto& c : cases) {
        WIN32_FIND_DATAW data;
        EXPECT_EQ(FindFirstFileW(Path(c.pattern), &data), INVALID_HANDLE_VALUE) << c.pattern;
        EXPECT_EQ(GetLastError(), c.error) << c.pattern;
    }
}

TEST_F(FilesTest, MessagesAreWindowsTextsWithTheirLineBreak) {
    LPWSTR message = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                       ERROR_ACCESS_DENIED, 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
    EXPECT_EQ(CString(message, static_cast<int>(length)), CString(TEXT("Access is denied.\r\n")));
    LocalFree(message);

    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                             0x20000001, 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr),
              0u);
    EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);
}

}  // namespace
