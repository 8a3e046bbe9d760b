// The Win32 calls over POSIX answer as Windows does: its error codes, its
// message texts, its search order and wildcards, its program starts.
#include <chrono>
#include <csignal>
#include <functional>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Platform.h"
#include "platform/ScopedHandle.h"
#include "platform/Utf8.h"
#include "platform/posix/SystemCalls.h"
#include "tests/support/TestFiles.h"

namespace {

typedef std::vector<CString> Names;

// A tree of each kind of entry: "file" with a second name "twin" and a link
// "filelink", "another", "z.txt", "!", a letter whose low byte is that of a
// backslash (U+015C), a program "B", a folder "full" with "sub" in it
// and a link "dirlink" to it, and a FIFO. It is the current directory
// throughout.
class FilesTest : public ::testing::Test {
protected:
    FilesTest() {
        fs::current_path(temp.path());
        for (const char* name : {"file", "another", "B", "z.txt", "!", "\xC5\x9C"}) {
            WriteFile(temp.path() / name, name);
        }
        fs::permissions(temp.path() / "B", fs::perms(0751));
        fs::create_hard_link(temp.path() / "file", temp.path() / "twin");
        fs::create_symlink(temp.path() / "file", temp.path() / "filelink");
        fs::create_directories(temp.path() / "full/sub");
        fs::create_directory_symlink(temp.path() / "full", temp.path() / "dirlink");
        mkfifo((temp.path() / "fifo").c_str(), 0600);
    }
    ~FilesTest() override { fs::current_path(before); }

    // A file opened as it is named.
    static ScopedHandle Open(const CString& path, DWORD access, DWORD disposition = OPEN_EXISTING,
                             DWORD flags = 0) {
        return ScopedHandle(CreateFileW(path, access, 0, nullptr, disposition, flags, nullptr));
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

    const fs::path before = fs::current_path();
    TempDir temp;
    const CString root = FromFsPath(temp.path()) + TEXT('\\');
};

TEST_F(FilesTest, FailuresGiveWindowsErrorCodes) {
    const BusyFile running(temp.path() / "running");
    const auto open = [&](const char* name, DWORD access, DWORD disposition = OPEN_EXISTING) {
        return Open(P(name), access, disposition, FILE_FLAG_OPEN_REPARSE_POINT).IsValid();
    };
    // Locks `file`, and then again through another handle, or for part of it.
    const auto lockTwice = [&](DWORD length) {
        const ScopedHandle first = Open(P("file"), GENERIC_READ),
                           second = Open(P("file"), GENERIC_READ);
        OVERLAPPED whole = {};
        return LockFileEx(first.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) &&
               LockFileEx(second.get(), LOCKFILE_FAIL_IMMEDIATELY, 0, length, MAXDWORD, &whole);
    };
    // Reads from `file` opened for writing only, or writes to it opened for
    // reading only.
    const auto transfer = [&](DWORD access) {
        const ScopedHandle file = Open(P("file"), access);
        char byte = 0;
        DWORD count = 0;
        return access == GENERIC_WRITE ? ReadFile(file.get(), &byte, 1, &count, nullptr)
                                       : WriteFile(file.get(), &byte, 1, &count, nullptr);
    };
    const auto start = [&](LPCWSTR verb, LPCWSTR program) {
        return ShellExecuteW(nullptr, verb, program, nullptr, root, SW_SHOW) > HINSTANCE(32);
    };
    const auto startWritten = [&] {
        const int writing = ::open((temp.path() / "B").c_str(), O_WRONLY);
        const HINSTANCE answer = ShellExecuteW(nullptr, nullptr, P("B"), nullptr, root, 0);
        close(writing);
        return answer;
    };
    // Buffers for the calls that fill one; a path that would fit but for its
    // terminator.
    WCHAR text[64], path[MAX_PATH], cut[6] = {1, 1, 1, 1, 1, 1};
    char narrow[2];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
// A call that must fail, and the error it must leave.
// clang-format off
#define FAILS(call, error) {[&]() -> BOOL { return BOOL(call); }, error}
    // clang-format on
    const std::pair<std::function<BOOL()>, DWORD> cases[] = {
        FAILS(DeleteFileW(P("missing/x")), ERROR_PATH_NOT_FOUND),
        FAILS(GetFileAttributesW(P("missing")) != INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND),
        FAILS(DeleteFileW(P("full")), ERROR_ACCESS_DENIED),
        FAILS(CreateDirectoryW(P("full"), nullptr), ERROR_ALREADY_EXISTS),
        FAILS(CreateDirectoryW(P("file/x"), nullptr), ERROR_PATH_NOT_FOUND),
        FAILS(CreateDirectoryW(P("missing/x"), nullptr), ERROR_PATH_NOT_FOUND),
        FAILS(RemoveDirectoryW(P("file")), ERROR_DIRECTORY),
        FAILS(RemoveDirectoryW(P("filelink")), ERROR_DIRECTORY),
        FAILS(SetCurrentDirectoryW(P("file")), ERROR_DIRECTORY),
        FAILS(CopyFileW(P("file"), P("file"), TRUE), ERROR_FILE_EXISTS),
        FAILS(CopyFileW(P("file"), P("twin"), FALSE), ERROR_SHARING_VIOLATION),
        FAILS(CopyFileW(P("fifo"), P("x"), FALSE), ERROR_ACCESS_DENIED),
        FAILS(CopyFileW(P("file"), P("fifo"), FALSE), ERROR_ACCESS_DENIED),
        FAILS(open("fifo", GENERIC_WRITE), ERROR_ACCESS_DENIED),
        // A folder is opened only when asked for as one.
        FAILS(open("full", GENERIC_READ), ERROR_ACCESS_DENIED),
        FAILS(open("running", GENERIC_WRITE), ERROR_SHARING_VIOLATION),
        FAILS(open("file", GENERIC_WRITE, CREATE_NEW), ERROR_FILE_EXISTS),
        FAILS(open("file", GENERIC_READ, 0), ERROR_INVALID_PARAMETER),
        FAILS(open("filelink", GENERIC_READ, OPEN_ALWAYS), ERROR_CANT_RESOLVE_FILENAME),
        FAILS(transfer(GENERIC_WRITE), ERROR_ACCESS_DENIED),
        FAILS(transfer(GENERIC_READ), ERROR_ACCESS_DENIED),
        FAILS(lockTwice(MAXDWORD), ERROR_LOCK_VIOLATION),
        FAILS(lockTwice(1), ERROR_NOT_SUPPORTED),
        FAILS(MoveFileExW(P("file"), P("running"), MOVEFILE_REPLACE_EXISTING), ERROR_ACCESS_DENIED),
        FAILS(MoveFileExW(P("file"), P("full"), MOVEFILE_REPLACE_EXISTING), ERROR_ACCESS_DENIED),
        FAILS(MoveFileExW(P("file"), P("twin"), 0), ERROR_ALREADY_EXISTS),
        // A name taken, and a folder, which takes no second name.
        FAILS(CreateHardLinkW(P("twin"), P("file"), nullptr), ERROR_ALREADY_EXISTS),
        FAILS(CreateHardLinkW(P("x"), P("full"), nullptr), ERROR_ACCESS_DENIED),
        FAILS(!Search(P("*.log")).empty(), ERROR_FILE_NOT_FOUND),
        // No window handle is valid here.
        FAILS(SetWindowTextW(nullptr, TEXT("x")), ERROR_INVALID_WINDOW_HANDLE),
        FAILS(!Search(P("file\\*.*")).empty(), ERROR_DIRECTORY),
        FAILS(start(TEXT("open"), P("missing")), ERROR_FILE_NOT_FOUND),
        FAILS(start(nullptr, nullptr), ERROR_FILE_NOT_FOUND),
        FAILS(start(nullptr, TEXT("")), ERROR_FILE_NOT_FOUND),
        FAILS(start(nullptr, P("file")), ERROR_ACCESS_DENIED),
        // A program being written cannot start; a failure that ShellExecuteW
        // has a number of its own for answers that number.
        FAILS(startWritten() != HINSTANCE(INT_PTR(ERROR_SHARING_VIOLATION)),
              ERROR_SHARING_VIOLATION),
        FAILS(start(TEXT("opens"), P("B")), ERROR_INVALID_FUNCTION),
        FAILS(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, 0, 1 << 29, 0, 0, 0, 0),
              ERROR_MR_MID_NOT_FOUND),
        // The system's messages are the only ones there are.
        FAILS(FormatMessageW(0, 0, ERROR_ACCESS_DENIED, 0, text, 64, 0), ERROR_MR_MID_NOT_FOUND),
        FAILS(GetModuleFileNameW(nullptr, nullptr, 0), ERROR_INSUFFICIENT_BUFFER),
        FAILS(GetModuleFileNameW(HMODULE(1), nullptr, 0), ERROR_MOD_NOT_FOUND),
        // Room for the message but not for its terminator.
        FAILS(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, 0, ERROR_ACCESS_DENIED, 0, text, 19, 0),
              ERROR_INSUFFICIENT_BUFFER),
        // A path that does not fit is cut and ended inside the buffer (the
        // answer is false when the call does as Windows does); so is one
        // that would fit but for its terminator.
        FAILS(GetModuleFileNameW(nullptr, cut, 4) != 4 || cut[3] != 0 || cut[4] != 1,
              ERROR_INSUFFICIENT_BUFFER),
        FAILS(GetModuleFileNameW(nullptr, path, length) != length || path[length - 1] != 0,
              ERROR_INSUFFICIENT_BUFFER),
        // A code page other than the system's, which is UTF-8.
        FAILS(WideCharToMultiByte(1252, 0, TEXT("a"), -1, nullptr, 0, 0, 0),
              ERROR_INVALID_PARAMETER),
        // No text, or a length or size below any there can be.
        FAILS(WideCharToMultiByte(CP_UTF8, 0, nullptr, -1, nullptr, 0, 0, 0),
              ERROR_INVALID_PARAMETER),
        FAILS(WideCharToMultiByte(CP_UTF8, 0, TEXT("a"), -2, nullptr, 0, 0, 0),
              ERROR_INVALID_PARAMETER),
        FAILS(WideCharToMultiByte(CP_UTF8, 0, TEXT("a"), -1, nullptr, -1, 0, 0),
              ERROR_INVALID_PARAMETER),
        // Room for the text but not for its terminator.
        FAILS(WideCharToMultiByte(CP_UTF8, 0, TEXT("ab"), -1, narrow, 2, 0, 0),
              ERROR_INSUFFICIENT_BUFFER),
    };
#undef FAILS
    for (size_t i = 0; i < std::size(cases); ++i) {
        SetLastError(0);
        EXPECT_FALSE(cases[i].first()) << "case " << i;
        EXPECT_EQ(GetLastError(), cases[i].second) << "case " << i;
    }
}

// The read-only attribute is the want of every write permission, and
// clearing it gives back the owner's where none is left; a folder
// link goes without what it points at, and goes when that is gone too; a
// message buffer just big enough is enough; a file under two names counts
// both, and tells its size; a new file reads back what was written, and is
// opened again as it is; a lock is let go with its handle.
TEST_F(FilesTest, CallsThatSucceedDoTheirWork) {
    EXPECT_TRUE(SetFileAttributesW(P("B"), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Mode("B"), 0551);
    EXPECT_TRUE(SetFileAttributesW(P("B"), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(Mode("B"), 0751);
    fs::permissions(temp.path() / "z.txt", fs::perms(0640));
    EXPECT_TRUE(SetFileAttributesW(P("z.txt"), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(Mode("z.txt"), 0640);
    EXPECT_TRUE(CreateDirectoryW(P("folder"), nullptr) && fs::is_directory(temp.path() / "folder"));
    EXPECT_TRUE(RemoveDirectoryW(P("dirlink")) && fs::exists(temp.path() / "full/sub"));
    // So does one named by a short relative path with a trailing backslash.
    fs::create_directory_symlink("full", "l");
    EXPECT_TRUE(RemoveDirectoryW(TEXT("l\\")) && fs::exists(temp.path() / "full/sub"));
    fs::create_directory_symlink(temp.path() / "gone", temp.path() / "dangling");
    EXPECT_TRUE(RemoveDirectoryW(P("dangling")) &&
                !fs::exists(fs::symlink_status(temp.path() / "dangling")));
    char bytes[8] = "written";
    DWORD count = 0;
    for (const DWORD disposition : {CREATE_NEW, OPEN_ALWAYS}) {
        const ScopedHandle made = Open(P("made"), GENERIC_READ | GENERIC_WRITE, disposition);
        OVERLAPPED whole = {};
        EXPECT_TRUE(LockFileEx(made.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                               MAXDWORD, MAXDWORD, &whole));
        EXPECT_TRUE(disposition == CREATE_NEW ? WriteFile(made.get(), bytes, 7, &count, nullptr)
                                              : ReadFile(made.get(), bytes, 8, &count, nullptr));
        EXPECT_EQ(count, 7u);
    }
    EXPECT_EQ(std::string(bytes, 7), "written");
    // Shared locks share.
    const ScopedHandle readers[] = {Open(P("made"), GENERIC_READ), Open(P("made"), GENERIC_READ)};
    for (const ScopedHandle& reader : readers) {
        OVERLAPPED whole = {};
        EXPECT_TRUE(
            LockFileEx(reader.get(), LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole));
    }
    // A link is followed unless told not to be, and then opened itself, for
    // neither reading nor writing.
    EXPECT_TRUE(ReadFile(Open(P("filelink"), GENERIC_READ).get(), bytes, 4, &count, nullptr));
    EXPECT_EQ(std::string(bytes, 4), "file");
    const auto information = [](const CString& path, DWORD flags = 0) {
        BY_HANDLE_FILE_INFORMATION information = {};
        EXPECT_TRUE(
            GetFileInformationByHandle(Open(path, 0, OPEN_EXISTING, flags).get(), &information));
        return information;
    };
    EXPECT_EQ(information(P("filelink"), FILE_FLAG_OPEN_REPARSE_POINT).dwFileAttributes,
              DWORD(FILE_ATTRIBUTE_REPARSE_POINT));
    // A file under two names counts both, and tells its size; files on two
    // file systems are told apart by their volumes.
    EXPECT_EQ(information(P("twin")).nNumberOfLinks, 2u);
    EXPECT_EQ(information(P("twin")).nFileSizeLow, 4u);
    EXPECT_NE(information(P("twin")).dwVolumeSerialNumber,
              information(TEXT("\\proc\\version")).dwVolumeSerialNumber);
    // A file may be made without being opened for reading or writing. The
    // code point that the stand-ins for \:*?"<>| count from stands for no byte.
    EXPECT_TRUE(CloseHandle(CreateFileW(P("bare\xEF\x80\x80"), 0, 0, nullptr, CREATE_NEW, 0, 0)));
    EXPECT_TRUE(fs::is_regular_file(temp.path() / "bare\xEF\x80\x80"));
    // A file of one byte is copied whole, with its permissions and the time
    // it was last written; one over a longer file leaves nothing of that file.
    const auto written = fs::file_time_type() + std::chrono::hours(24 * 365 * 31);
    fs::last_write_time(temp.path() / "B", written);
    EXPECT_TRUE(CopyFileW(P("B"), P("copied"), TRUE) && CopyFileW(P("B"), P("another"), FALSE));
    EXPECT_EQ(ReadFile(temp.path() / "copied") + ReadFile(temp.path() / "another"), "BB");
    EXPECT_EQ(Mode("copied"), 0751);
    EXPECT_EQ(fs::last_write_time(temp.path() / "copied"), written);
    // A buffer without room for the terminator gets nothing; the answer is
    // the size needed. One with room gets the path, ended.
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::vector<WCHAR> current(needed, 1);
    EXPECT_EQ(GetCurrentDirectoryW(needed - 1, current.data()), needed);
    EXPECT_EQ(current[0], 1);
    EXPECT_EQ(GetCurrentDirectoryW(needed, current.data()), needed - 1);
    EXPECT_EQ(current[needed - 1], 0);
    // One longer than the system's longest path is read whole too.
    const std::string level(250, 'd');
    for (int i = 0; i < 20; ++i) {
        fs::create_directory(level);
        fs::current_path(level);
    }
    std::vector<WCHAR> deep(GetCurrentDirectoryW(0, nullptr));
    EXPECT_EQ(GetCurrentDirectoryW(DWORD(deep.size()), deep.data()), deep.size() - 1);
    EXPECT_EQ(CString(deep.data()), FromFsPath(fs::current_path()));
    // Removed level by level: its path is too long to name it whole.
    for (int i = 0; i < 20; ++i) {
        fs::current_path("..");
        fs::remove(level);
    }
    // A message buffer just big enough is enough, and nothing past it is written.
    WCHAR text[21];
    text[20] = 1;
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, 0, ERROR_ACCESS_DENIED, 0, text, 20, 0),
              19u);
    EXPECT_EQ(CString(text) + text[20], CString(TEXT("Access is denied.\r\n\x01")));
    // The program's own path is the one the system has for it.
    WCHAR program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    EXPECT_EQ(CString(program, int(length)), FromFsPath(fs::read_symlink("/proc/self/exe")));
}

#ifdef TAVREL_FAULT_SEAM
// The folders flushed, as their open descriptors name them.
std::vector<std::string> flushed;

int RecordingFsync(int file) noexcept {
    flushed.push_back(fs::read_symlink("/proc/self/fd/" + std::to_string(file)).string());
    return ::fsync(file);
}

// A link at the new name is replaced, not written through. A rename written
// through, and only that, flushes the folder that holds the new name.
TEST_F(FilesTest, ReplacingTakesTheLinkNotWhatItPointsAt) {
    SystemCalls().fsync = RecordingFsync;
    EXPECT_TRUE(MoveFileExW(TEXT("B"), TEXT(".\\filelink"),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_TRUE(MoveFileExW(TEXT("another"), TEXT("renamed"), 0));
    SystemCalls().fsync = ::fsync;
    EXPECT_EQ(ReadFile(temp.path() / "filelink") + ReadFile(temp.path() / "file"), "Bfile");
    EXPECT_EQ(flushed, std::vector<std::string>{temp.path().string()});
}
#endif

TEST_F(FilesTest, SearchesGiveAFixedOrderAndWindowsAttributes) {
    CString dots;
    for (int i = 0; i < 130; ++i) {
        dots += TEXT("./");
    }
    const std::pair<CString, Names> cases[] = {
        // "!" sorts before ".", which still comes first.
        {P("*.*"),
         {TEXT(".:16"), TEXT("..:16"), TEXT("!:128"), TEXT("another:128"), TEXT("B:128"),
          TEXT("dirlink:1040"), TEXT("fifo:64"), TEXT("file:128"), TEXT("filelink:1024"),
          TEXT("full:16"), TEXT("twin:128"), TEXT("z.txt:128"), TEXT("\u015C:128")}},
        // Letters match in either case, from a to z.
        {P("b*"), {TEXT("B:128")}},
        {P("A*"), {TEXT("another:128")}},
        {P("Z?TXT"), {TEXT("z.txt:128")}},
        {P("*l*k"), {TEXT("dirlink:1040"), TEXT("filelink:1024")}},
        // A '*' that matched too little takes one more character, and the
        // rest of the pattern is matched again from its start.
        {P("*il"), {}},
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

// The started program keeps none of its starter's open files beyond the
// standard three, leads a session of its own (it outlives the launcher and
// its terminal), runs in the folder it is given (without one, in the
// current directory), and the start clears the last error. A relative
// program names a file below the current directory, not below that folder.
TEST_F(FilesTest, StartedProgramRunsOnItsOwn) {
    fs::create_symlink("/bin/sh", "shell");
    // The lowest descriptor past the standard three is open, and a high one.
    const int lowest = open("/", O_RDONLY);
    ASSERT_EQ(dup2(lowest, 100), 100);
    const CString elsewhere = P("full");
    const std::pair<LPCWSTR, LPCWSTR> starts[] = {{TEXT("\\bin\\sh"), root},
                                                  {TEXT("\\bin\\sh"), TEXT("")},
                                                  {TEXT("\\bin\\sh"), nullptr},
                                                  {TEXT("shell"), elsewhere}};
    const std::string fifo = (temp.path() / "fifo").string();
    const CString answer = FromUtf8(
                               "-c \"set -- $(cat /proc/$$/stat); [ -e /proc/self/fd/3 ] || "
                               "[ -e /proc/self/fd/100 ] || [ $6 != $$ ] && echo held >" +
                               fifo + " || echo free >" + fifo + "\"")
                               .c_str();
    for (const auto& [program, directory] : starts) {
        SetLastError(ERROR_ACCESS_DENIED);
        const HINSTANCE started =
            ShellExecuteW(nullptr, TEXT("open"), program, answer, directory, SW_SHOW);
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
        // The program answers through the FIFO, which waits for it.
        EXPECT_TRUE(started > HINSTANCE(32) && ReadFile(temp.path() / "fifo") == "free\n");
    }
    close(100);
    close(lowest);
}

// A program started hidden, and a wait that a signal does not cut short.
TEST(ProcessTest, StartupInfoAndSleep) {
    STARTUPINFOW startup = {0, 1, 1};
    GetStartupInfoW(&startup);
    EXPECT_EQ(startup.dwFlags + startup.wShowWindow, 0u);
    EXPECT_EQ(startup.cb, sizeof(startup));
    signal(SIGALRM, [](int) {});
    const auto start = std::chrono::steady_clock::now();
    ualarm(20000, 0);
    Sleep(200);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}

}  // namespace
