// The file calls over POSIX answer as Windows does: its error codes, its
// message texts, its search order and wildcards.
#include <chrono>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/posix/FaultInjection.h"
#include "tests/support/Obstacles.h"
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
    fs::create_hard_link(temp.path() / "file", temp.path() / "twin");
    ASSERT_EQ(mkfifo((temp.path() / "fifo").c_str(), 0600), 0);
    const BusyFile running(temp.path() / "running");
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
        {"copy onto itself", [&] { return CopyFileW(Path("file"), Path("twin"), FALSE); },
         ERROR_SHARING_VIOLATION},
        {"copy from a FIFO", [&] { return CopyFileW(Path("fifo"), Path("x"), FALSE); },
         ERROR_ACCESS_DENIED},
        {"copy onto a FIFO", [&] { return CopyFileW(Path("file"), Path("fifo"), FALSE); },
         ERROR_ACCESS_DENIED},
        {"open a FIFO for writing",
         [&] {
             return CreateFileW(Path("fifo"), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr) != INVALID_HANDLE_VALUE;
         },
         ERROR_ACCESS_DENIED},
        {"open a running program for writing",
         [&] {
             return CreateFileW(Path("running"), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr) != INVALID_HANDLE_VALUE;
         },
         ERROR_SHARING_VIOLATION},
        {"open a folder as a file",
         [&] {
             return CreateFileW(Path("full"), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr) !=
                    INVALID_HANDLE_VALUE;
         },
         ERROR_ACCESS_DENIED},
        {"replace a running program",
         [&] { return MoveFileExW(Path("file"), Path("running"), MOVEFILE_REPLACE_EXISTING); },
         ERROR_ACCESS_DENIED},
        {"replace a folder",
         [&] { return MoveFileExW(Path("file"), Path("full"), MOVEFILE_REPLACE_EXISTING); },
         ERROR_ACCESS_DENIED},
        {"rename onto a kept file", [&] { return MoveFileExW(Path("file"), Path("twin"), 0); },
         ERROR_ALREADY_EXISTS},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(c.call()) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    EXPECT_EQ(ReadFile(temp.path() / "file"), "file");
}

// A link at the new name is replaced, not written through; a rename written
// through is on stable storage when it returns.
TEST_F(FilesTest, ReplacingTakesTheLinkNotWhatItPointsAt) {
    Make("new");
    Make("outside");
    fs::create_symlink(temp.path() / "outside", temp.path() / "link");
    std::vector<FileCall> calls;
    RecordFileCalls(&calls);
    EXPECT_TRUE(
        MoveFileExW(Path("new"), Path("link"), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    RecordFileCalls(nullptr);
    EXPECT_FALSE(fs::is_symlink(temp.path() / "link"));
    EXPECT_EQ(ReadFile(temp.path() / "link"), "new");
    EXPECT_EQ(ReadFile(temp.path() / "outside"), "outside");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].point, FaultPoint::FlushFolder);
}

// One file under two names is one file; a link is a file of its own.
TEST_F(FilesTest, HandlesTellOneFileFromAnother) {
    Make("file");
    Make("other");
    fs::create_hard_link(temp.path() / "file", temp.path() / "twin");
    fs::create_symlink(temp.path() / "file", temp.path() / "link");
    const auto identity = [&](const char* name) {
        const HANDLE file = CreateFileW(Path(name), 0, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << name;
        BY_HANDLE_FILE_INFORMATION information = {};
        EXPECT_TRUE(GetFileInformationByHandle(file, &information));
        EXPECT_TRUE(CloseHandle(file));
        return std::make_tuple(information.dwVolumeSerialNumber, information.nFileIndexHigh,
                               information.nFileIndexLow, information.nNumberOfLinks);
    };
    EXPECT_EQ(identity("file"), identity("twin"));
    EXPECT_EQ(std::get<3>(identity("file")), 2u);
    EXPECT_NE(identity("file"), identity("other"));
    EXPECT_NE(identity("file"), identity("link"));
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
    ASSERT_EQ(mkfifo((temp.path() / "fifo").c_str(), 0600), 0);

    typedef std::tuple<CString, DWORD, DWORD> Found;
    std::vector<Found> found;
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(Path("*.*"), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        found.emplace_back(data.cFileName, data.dwFileAttributes, data.dwReserved0);
    } while (FindNextFileW(search, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    FindClose(search);

    const DWORD directory = FILE_ATTRIBUTE_DIRECTORY;
    const DWORD link = FILE_ATTRIBUTE_REPARSE_POINT;
    const DWORD symlink = IO_REPARSE_TAG_SYMLINK;
    const std::vector<Found> expected = {
        {TEXT("."), directory, 0},
        {TEXT(".."), directory, 0},
        {TEXT("a"), FILE_ATTRIBUTE_NORMAL, 0},
        {TEXT("B"), FILE_ATTRIBUTE_NORMAL, 0},
        {TEXT("c.txt"), FILE_ATTRIBUTE_NORMAL, 0},
        {TEXT("dirlink"), link | directory, symlink},
        {TEXT("fifo"), FILE_ATTRIBUTE_DEVICE, 0},
        {TEXT("filelink"), link, symlink},
        {TEXT("sub"), directory, 0},
    };
    EXPECT_EQ(found, expected);

    // A name without wildcards is that one entry, looked up as it is.
    const HANDLE one = FindFirstFileW(Path("dirlink"), &data);
    ASSERT_NE(one, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Found(data.cFileName, data.dwFileAttributes, data.dwReserved0), expected[5]);
    EXPECT_FALSE(FindNextFileW(one, &data));
    FindClose(one);
    EXPECT_EQ(FindFirstFileW(Path("DIRLINK"), &data), INVALID_HANDLE_VALUE);
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
