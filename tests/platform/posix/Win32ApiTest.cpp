// The Win32 calls over POSIX answer as Windows does: its error codes, its
// message texts, its search order and wildcards, its program starts.
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>
#include <tuple>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Utf8.h"
#include "platform/posix/FaultInjection.h"
#include "tests/support/Obstacles.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestStrings.h"

namespace {

typedef std::vector<CString> Names;

// A tree of each kind of entry: "file" with a second name "twin" and a link
// "filelink", "other" with a second name too, a program "B", a folder "full"
// with "sub" in it and a link "dirlink" to it, and a FIFO.
class FilesTest : public ::testing::Test {
protected:
    FilesTest() {
        for (const char* name : {"file", "other", "B", "c.txt"}) {
            WriteFile(temp.path() / name, name);
        }
        fs::permissions(temp.path() / "B", fs::perms(0751));
        fs::create_hard_link(temp.path() / "file", temp.path() / "twin");
        fs::create_hard_link(temp.path() / "other", temp.path() / "other twin");
        fs::create_symlink(temp.path() / "file", temp.path() / "filelink");
        fs::create_directories(temp.path() / "full/sub");
        fs::create_directory_symlink(temp.path() / "full", temp.path() / "dirlink");
        mkfifo((temp.path() / "fifo").c_str(), 0600);
    }

    // A path below the tree as the code under test writes it (wildcards stay).
    CString P(const char* name) const { return root + FromUtf8(name).c_str(); }
    int Mode(const char* name) const { return int(fs::status(temp.path() / name).permissions()); }

    // The names a search finds, in its order, each with the attributes that
    // the find data and GetFileAttributesW give it (16 a folder, 64 a device,
    // 128 a file, 1024 a link).
    Names Search(const CString& pattern) const {
        Names found;
        WIN32_FIND_DATAW data;
        const HANDLE search = FindFirstFileW(pattern, &data);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more;
             more = FindNextFileW(search, &data)) {
            const CString name = pattern.Left(pattern.ReverseFind(TEXT('\\')) + 1) + data.cFileName;
            EXPECT_EQ(GetFileAttributesW(name), data.dwFileAttributes);
            const Utf16Text kind = FromUtf8(":" + std::to_string(data.dwFileAttributes));
            found.push_back(data.cFileName + CString(kind.c_str()));
        }
        EXPECT_TRUE(search == INVALID_HANDLE_VALUE ||
                    (GetLastError() == ERROR_NO_MORE_FILES && FindClose(search)));
        return found;
    }

    TempDir temp;
    const CString root = FromFsPath(temp.path()) + TEXT('\\');
};

TEST_F(FilesTest, FailuresGiveWindowsErrorCodes) {
    const BusyFile running(temp.path() / "running");
    const auto open = [&](const char* name, DWORD access) {
        return CreateFileW(P(name), access, 0, nullptr, OPEN_EXISTING, 0, nullptr) !=
               INVALID_HANDLE_VALUE;
    };
    const auto start = [&](LPCWSTR verb, const char* name) {
        return ShellExecuteW(nullptr, verb, P(name), nullptr, root, SW_SHOW) > HINSTANCE(32);
    };
    char bytes[3];
    const auto convert = [&](LPCWSTR wide, int length, int size) {
        return WideCharToMultiByte(CP_UTF8, 0, wide, length, bytes, size, nullptr, nullptr);
    };
    const std::pair<std::function<BOOL()>, DWORD> cases[] = {
        {[&] { return DeleteFileW(P("missing")); }, ERROR_FILE_NOT_FOUND},
        {[&] { return DeleteFileW(P("missing/x")); }, ERROR_PATH_NOT_FOUND},
        {[&] { return DeleteFileW(P("full")); }, ERROR_ACCESS_DENIED},
        {[&] { return CreateDirectoryW(P("full"), nullptr); }, ERROR_ALREADY_EXISTS},
        {[&] { return CreateDirectoryW(P("file/x"), nullptr); }, ERROR_PATH_NOT_FOUND},
        {[&] { return CreateDirectoryW(P("no/x"), nullptr); }, ERROR_PATH_NOT_FOUND},
        {[&] { return RemoveDirectoryW(P("full/")); }, ERROR_DIR_NOT_EMPTY},
        {[&] { return RemoveDirectoryW(P("file")); }, ERROR_DIRECTORY},
        {[&] { return RemoveDirectoryW(P("filelink")); }, ERROR_DIRECTORY},
        {[&] { return SetCurrentDirectoryW(P("file")); }, ERROR_DIRECTORY},
        {[&] { return SetCurrentDirectoryW(P("missing")); }, ERROR_FILE_NOT_FOUND},
        {[&] { return CopyFileW(P("missing"), P("x"), FALSE); }, ERROR_FILE_NOT_FOUND},
        {[&] { return CopyFileW(P("full"), P("x"), FALSE); }, ERROR_ACCESS_DENIED},
        {[&] { return CopyFileW(P("file"), P("file"), TRUE); }, ERROR_FILE_EXISTS},
        {[&] { return CopyFileW(P("file"), P("twin"), FALSE); }, ERROR_SHARING_VIOLATION},
        {[&] { return CopyFileW(P("fifo"), P("x"), FALSE); }, ERROR_ACCESS_DENIED},
        {[&] { return CopyFileW(P("file"), P("fifo"), FALSE); }, ERROR_ACCESS_DENIED},
        {[&] { return open("fifo", GENERIC_WRITE); }, ERROR_ACCESS_DENIED},
        {[&] { return open("running", GENERIC_WRITE); }, ERROR_SHARING_VIOLATION},
        {[&] { return open("full", 0); }, ERROR_ACCESS_DENIED},
        {[&] { return MoveFileExW(P("file"), P("running"), MOVEFILE_REPLACE_EXISTING); },
         ERROR_ACCESS_DENIED},
        {[&] { return MoveFileExW(P("file"), P("full"), MOVEFILE_REPLACE_EXISTING); },
         ERROR_ACCESS_DENIED},
        {[&] { return MoveFileExW(P("file"), P("twin"), 0); }, ERROR_ALREADY_EXISTS},
        {[&] { return !Search(P("*.log")).empty(); }, ERROR_FILE_NOT_FOUND},
        {[&] { return !Search(P("FILE")).empty(); }, ERROR_FILE_NOT_FOUND},
        {[&] { return !Search(P("missing\\*.*")).empty(); }, ERROR_PATH_NOT_FOUND},
        {[&] { return !Search(P("file\\*.*")).empty(); }, ERROR_DIRECTORY},
        {[&] { return start(TEXT("open"), "missing"); }, ERROR_FILE_NOT_FOUND},
        {[&] { return start(nullptr, "file"); }, ERROR_ACCESS_DENIED},
        {[&] { return start(TEXT("opens"), "B"); }, ERROR_INVALID_FUNCTION},
        {[&] { return FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, 0, 1 << 29, 0, 0, 0, 0); },
         ERROR_MR_MID_NOT_FOUND},
        {[&] { return convert(TEXT("a\u00FC"), -1, 3); }, ERROR_INSUFFICIENT_BUFFER},
        {[&] { return convert(TEXT("a"), -2, 3); }, ERROR_INVALID_PARAMETER},
        {[&] { return convert(TEXT("a"), 1, -1); }, ERROR_INVALID_PARAMETER},
        // An injected fault fails its call once the calls it lets pass have.
        {[&] {
             return InjectFault({FaultPoint::SetCurrentDirectory, ERROR_WRITE_PROTECT}),
                    SetCurrentDirectoryW(root);
         },
         ERROR_WRITE_PROTECT},
        {[&] {
             return InjectFault({FaultPoint::DeleteFile, ERROR_WRITE_PROTECT, nullptr, 1}),
                    DeleteFileW(P("twin")) && DeleteFileW(P("file"));
         },
         ERROR_WRITE_PROTECT},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SetLastError(0);
        EXPECT_FALSE(cases[i].first()) << "case " << i;
        EXPECT_EQ(GetLastError(), cases[i].second) << "case " << i;
        ClearFault();
    }
    EXPECT_EQ(ReadFile(temp.path() / "file") + std::to_string(fs::exists(temp.path() / "twin")),
              "file0");
}

// A copy keeps the permission bits; the read-only attribute is the want of
// every write permission; a folder link goes without what it points at; a
// buffer just big enough is enough.
TEST_F(FilesTest, CallsThatSucceedDoTheirWork) {
    EXPECT_TRUE(BeginFlushFile(P("file")));
    EXPECT_TRUE(CopyFileW(P("B"), P("c.txt"), FALSE));
    EXPECT_EQ(ReadFile(temp.path() / "c.txt"), "B");
    EXPECT_EQ(Mode("c.txt"), 0751);
    EXPECT_TRUE(SetFileAttributesW(P("c.txt"), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Mode("c.txt"), 0551);
    EXPECT_TRUE(SetFileAttributesW(P("c.txt"), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(Mode("c.txt"), 0751);
    EXPECT_TRUE(RemoveDirectoryW(P("dirlink")) && fs::exists(temp.path() / "full/sub"));
    WCHAR text[4096];
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    EXPECT_EQ(GetCurrentDirectoryW(size, text), size - 1);
    const DWORD length = GetModuleFileNameW(nullptr, text, 4096);
    EXPECT_EQ(ToFsPath(CString(text, int(length))), fs::read_symlink("/proc/self/exe"));
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, 0, ERROR_ACCESS_DENIED, 0, text, 20, 0),
              19u);
    EXPECT_EQ(CString(text), CString(TEXT("Access is denied.\r\n")));
    char bytes[5] = "xxxx";
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, TEXT("a\u00FC"), -1, nullptr, 0, 0, 0), 4);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, TEXT("a\u00FC"), -1, bytes, 4, 0, 0), 4);
    EXPECT_EQ(std::string(bytes, 4), std::string("a\xC3\xBC", 4));
}

// A link at the new name is replaced, not written through. A rename written
// through, and only that, flushes the folder that holds the new name.
TEST_F(FilesTest, ReplacingTakesTheLinkNotWhatItPointsAt) {
    const fs::path before = fs::current_path();
    fs::current_path(temp.path());
    std::vector<FileCall> calls;
    RecordFileCalls(&calls);
    EXPECT_TRUE(MoveFileExW(TEXT("B"), TEXT(".\\filelink"),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_TRUE(MoveFileExW(TEXT("other"), TEXT("renamed"), 0));
    RecordFileCalls(nullptr);
    fs::current_path(before);
    EXPECT_EQ(ReadFile(temp.path() / "filelink") + ReadFile(temp.path() / "file"), "Bfile");
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].point, FaultPoint::FlushFolder);
    EXPECT_EQ(calls[1].path, u".");
}

// One file under two names is one file; a link is a file of its own.
TEST_F(FilesTest, HandlesTellOneFileFromAnother) {
    const auto identity = [&](const char* name) {
        const HANDLE file = CreateFileW(P(name), 0, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        BY_HANDLE_FILE_INFORMATION i = {};
        EXPECT_TRUE(GetFileInformationByHandle(file, &i) && CloseHandle(file));
        return std::make_tuple(i.dwVolumeSerialNumber, i.nFileIndexHigh, i.nFileIndexLow,
                               i.nNumberOfLinks);
    };
    EXPECT_EQ(identity("file"), identity("twin"));
    EXPECT_EQ(std::get<3>(identity("file")), 2u);
    EXPECT_NE(identity("file"), identity("other"));
    EXPECT_NE(identity("file"), identity("filelink"));
}

TEST_F(FilesTest, SearchesGiveAFixedOrderAndWindowsAttributes) {
    CString dots;
    for (int i = 0; i < 130; ++i) {
        dots += TEXT("./");
    }
    const std::pair<CString, Names> cases[] = {
        {P("*.*"),
         {TEXT(".:16"), TEXT("..:16"), TEXT("B:128"), TEXT("c.txt:128"), TEXT("dirlink:1040"),
          TEXT("fifo:64"), TEXT("file:128"), TEXT("filelink:1024"), TEXT("full:16"),
          TEXT("other:128"), TEXT("other twin:128"), TEXT("twin:128")}},
        {P("b*"), {TEXT("B:128")}},
        {P("?.TXT"), {TEXT("c.txt:128")}},
        {P("*l*k"), {TEXT("dirlink:1040"), TEXT("filelink:1024")}},
        {P("B?"), {}},
        // A name without wildcards is that one entry, looked up as it is,
        // and cut to fit the find data.
        {P("dirlink"), {TEXT("dirlink:1040")}},
        {root + dots + TEXT("full"), {dots.Left(MAX_PATH - 1) + TEXT(":16")}},
    };
    for (const auto& [pattern, expected] : cases) {
        EXPECT_EQ(Search(pattern), expected) << pattern;
    }
}

// Every byte a Linux name can hold (some sort before ".", which still comes
// first), and the UTF-8 forms of the code points that stand for \ and : in
// names: each name is found as one component, with no separator, drive or
// wildcard in it, and names its own file again.
TEST_F(FilesTest, EveryNameComesBackAsTheSameBytes) {
    std::vector<std::string> names = {"\xEF\x81\x9C..\xEF\x81\x9Cx", "c\xEF\x80\xBA", "..\\..\\x"};
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != '/') {
            names.push_back(std::string(1, static_cast<char>(byte)) + "e");
        }
    }
    fs::create_directories(temp.path() / "from");
    fs::create_directories(temp.path() / "to");
    for (const std::string& name : names) {
        WriteFile(temp.path() / "from" / name, name);
    }
    const Names found = Search(P("from\\*.*"));
    ASSERT_EQ(found.size(), names.size() + 2);
    for (auto entry = found.begin() + 2; entry != found.end(); ++entry) {
        const CString name = entry->Left(entry->ReverseFind(TEXT(':')));
        for (const WCHAR forbidden : {TEXT('\\'), TEXT(':'), TEXT('*'), TEXT('?')}) {
            EXPECT_LT(name.Find(forbidden), 0) << name;
        }
        EXPECT_TRUE(CopyFileW(P("from\\") + name, P("to\\") + name, FALSE)) << name;
    }
    for (const std::string& name : names) {
        EXPECT_EQ(ReadFile(temp.path() / "to" / name), name);
    }
    // The current directory as well.
    const fs::path folder = temp.path() / "a\\b:c*d?e\"<f>|g\xEF\x81\x9C\xFF",
                   before = fs::current_path();
    fs::create_directory(folder);
    fs::current_path(folder);
    WCHAR current[4096];
    ASSERT_GT(GetCurrentDirectoryW(4096, current), 0u);
    fs::current_path(before);
    EXPECT_TRUE(SetCurrentDirectoryW(current));
    EXPECT_EQ(fs::current_path(), folder);
    fs::current_path(before);
}

// The started program keeps none of its starter's open files beyond the
// standard three, runs in the folder it is given, and the start clears the
// last error.
TEST_F(FilesTest, StartedProgramRunsOnItsOwn) {
    ASSERT_EQ(dup2(open("/", O_RDONLY), 100), 100);
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_GT(ShellExecuteW(nullptr, TEXT("open"), TEXT("\\bin\\sh"),
                            TEXT("-c \"[ -e /proc/self/fd/100 ] && echo held >r || echo free >r; "
                                 "mv r result\""),
                            root, SW_SHOW),
              HINSTANCE(32));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    close(100);
    for (int wait = 0; wait < 6000 && !fs::exists(temp.path() / "result"); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(ReadFile(temp.path() / "result"), "free\n");
}

// Without start-up information the program shows its window as it would;
// a sleep lasts through the signals that come meanwhile.
TEST(ProcessTest, StartupInfoAndSleep) {
    STARTUPINFOW startup = {0, 1, 1};
    GetStartupInfoW(&startup);
    EXPECT_EQ(startup.dwFlags + startup.wShowWindow, 0u);
    signal(SIGALRM, [](int) {});
    const auto start = std::chrono::steady_clock::now();
    ualarm(20000, 0);
    Sleep(200);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}

}  // namespace
