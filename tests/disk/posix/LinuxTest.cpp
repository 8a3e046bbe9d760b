// What only Linux has: copies over links and FIFOs; a copy made durable by
// waits for the whole file system, which a fault in the test builds' seam
// fails; a current directory that moves while it is read; UNC paths that
// name local folders; descriptors and memory, all given back; and what an
// ordinary user may not change.
#include <malloc.h>
#include <sys/stat.h>

#include "platform/posix/SystemCalls.h"
#include "tests/disk/DiskTest.h"
#include "tests/support/FaultSeam.h"
#include "tests/support/Process.h"

namespace {

#ifdef TAVREL_FAULT_SEAM
// Where the current directory moves just after it is first read.
CString movedTo;
int readings = 0;

char* MovingGetcwd(char* buffer, size_t size) noexcept {
    char* answer = ::getcwd(buffer, size);
    if (++readings == 1) {
        SetCurrentDirectoryW(movedTo);
    }
    // A reader that never catches up is failed rather than left to spin.
    return readings > 5 ? nullptr : answer;
}
#endif

// A copy is done only once what it wrote, and what it put in place, is on
// stable storage: not durable before they are placed, the files are not
// placed; not durable once placed, they go back, and the next copy finishes
// putting them back (nothing tells that that is durable) before it copies. A
// file is copied whole between file systems too. A current directory that
// grows between two readings is read whole.
TEST_F(DiskTest, FlushesThatFailOrDirectoriesThatMoveAreNeverTakenAsDone) {
    SKIP_WITHOUT_FAULT_SEAM();
#ifdef TAVREL_FAULT_SEAM
    MakeFiles({"src/a.txt", "src/b.txt"});
    SystemCalls().getcwd = MovingGetcwd;
    movedTo = Path("src");
    EXPECT_EQ(ReadCurrentDirectory(), Path("src"));
    SystemCalls().getcwd = ::getcwd;
    ASSERT_TRUE(SetCurrentDirectoryW(Path()));
    for (const int flushesBeforeFailure : {0, 1}) {
        InjectFault({Call::Flush, Failure::IoError, nullptr, flushesBeforeFailure});
        EXPECT_FALSE(disk.CopyFiles(Path("src"), Path("dst"), TRUE));
        EXPECT_EQ(disk.m_errorText, SystemError(ERROR_IO_DEVICE, Path("dst/")));
        EXPECT_EQ(In("dst").count("a.txt") + In("dst").count("b.txt"), 0u);
        EXPECT_EQ(disk.HasUnfinishedCopy(Path("dst")), flushesBeforeFailure);
    }
    // Copied in the kernel where it can be, else through a buffer (across
    // file systems, on older kernels and on file systems that cannot).
    for (const Failure failure :
         {Failure::NotSameDevice, Failure::InvalidParameter, Failure::NotSupported}) {
        InjectFault({Call::Copy, failure});
        EXPECT_TRUE(disk.CopyFiles(Path("src"), Path("dst"), TRUE)) << disk.m_errorText;
        ClearFault();
        EXPECT_EQ(In("dst"), (Names{"a.txt", "b.txt"}));
        EXPECT_EQ(ReadFile(FsPath("dst/b.txt")), "src/b.txt");
        fs::remove_all(FsPath("dst"));
    }
#endif
}

// Copies on Linux trees as real ones are: links and FIFOs in the tree copied
// and in the way of the copy. Nothing outside the trees is read, written or
// changed, and nothing blocks. The one link followed is the source that the
// caller names.
TEST_F(DiskTest, CopyTreeNeverGoesThroughALinkNorOpensADevice) {
    MakeFiles({"outside/secret.txt", "outside/config.ini", "outside/plugins/x.dll",
               "src/z-last.txt", "src/config.ini", "src/plugins/x.dll", "src/pipe",
               "dst/z-last.txt"});
    fs::permissions(FsPath("outside/secret.txt"), fs::perms(0600));
    fs::create_symlink(FsPath("outside/secret.txt"), FsPath("src/secret.txt"));
    fs::create_symlink(FsPath("nowhere"), FsPath("src/dangling"));
    fs::create_symlink("/dev/zero", FsPath("src/zero"));
    ASSERT_EQ(mkfifo(FsPath("src/fifo").c_str(), 0600), 0);
    fs::create_symlink(FsPath("outside/config.ini"), FsPath("dst/config.ini"));
    fs::create_directory_symlink(FsPath("outside/plugins"), FsPath("dst/plugins"));
    ASSERT_EQ(mkfifo(FsPath("dst/pipe").c_str(), 0600), 0);
    const TreeState outside = SnapshotTree(FsPath("outside"));

    // A listing of files has them all, links and FIFOs too.
    CStringArray listed;
    EXPECT_TRUE(disk.ListFiles(Path("src"), listed, NamesOnly));
    EXPECT_EQ(listed.GetSize(), 7);
    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("dst"), TRUE)) << disk.m_errorText;
    EXPECT_EQ(In("dst"), (Names{"config.ini", "pipe", "plugins", "z-last.txt"}));
    for (const char* file : {"config.ini", "pipe", "plugins/x.dll", "z-last.txt"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(FsPath("dst") / file))) << file;
        EXPECT_EQ(ReadFile(FsPath("dst") / file), std::string("src/") + file) << file;
    }
    EXPECT_EQ(SnapshotTree(FsPath("outside")), outside);
    EXPECT_EQ(fs::status(FsPath("outside/secret.txt")).permissions(), fs::perms(0600));
    fs::create_directory_symlink(FsPath("src"), FsPath("named"));
    EXPECT_TRUE(disk.CopyTree(Path("named"), Path("copy"), TRUE)) << disk.m_errorText;
    EXPECT_EQ(In("copy"), In("dst"));
    // So is the destination that the caller names.
    fs::create_directory(FsPath("real"));
    fs::create_directory_symlink(FsPath("real"), FsPath("into"));
    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("into"), TRUE)) << disk.m_errorText;
    EXPECT_TRUE(fs::is_symlink(FsPath("into")));
    EXPECT_EQ(In("real"), In("dst"));
    // A link in the way that cannot be removed fails the copy, named.
    SKIP_WITHOUT_FAULT_SEAM();
    fs::create_directories(FsPath("held"));
    fs::create_directory_symlink(FsPath("outside/plugins"), FsPath("held/plugins"));
    InjectFault({Call::Remove, Failure::AccessDenied, "held/plugins"});
    EXPECT_FALSE(disk.CopyTree(Path("src"), Path("held"), TRUE));
    ClearFault();
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_ACCESS_DENIED, Path("held/plugins/")));
}

// A UNC path is a path from the root here: a chain makes each level below
// its server and share, and shows each as the UNC path it was given.
TEST_F(DiskTest, AChainOnAUncPathMakesTheLevelsBelowItsShare) {
    const CString unc = TEXT("\\") + Path("chain/unc");
    EXPECT_TRUE(disk.CreateDirectoryChain(unc)) << disk.m_errorText;
    EXPECT_TRUE(fs::is_directory(FsPath("chain/unc")));
    ASSERT_FALSE(window.texts.empty());
    EXPECT_EQ(window.texts.back(), unc);
    for (const CString& text : window.texts) {
        EXPECT_EQ(text.Left(2), CString(TEXT("\\\\"))) << text;
    }
}

// Operations give back what they take: they leave no descriptor open, and
// after a first round, which may fill caches of the run-time, more rounds
// leave the heap no larger. They run as in a process started without
// standard input, where descriptor 0 is a file like any other: the first
// one opened.
TEST_F(DiskTest, OperationsGiveBackWhatTheyTake) {
    MakeFiles({"src/a.txt", "src/sub/b.txt"});
    CDiskObject quiet;
    const int input = dup(0);
    close(0);
    const auto round = [&] {
        MakeFiles({"dst/a.txt"});
        CStringArray list;
        EXPECT_TRUE(quiet.CopyTree(Path("src"), Path("dst"), TRUE));
        EXPECT_TRUE(quiet.ListFiles(Path("dst"), list, FullPaths));
        EXPECT_FALSE(quiet.RemoveFile(Path("missing")));
        EXPECT_TRUE(quiet.RemoveTree(Path("dst")));
    };
    const auto descriptors = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto open = descriptors();
    round();
    const size_t heap = mallinfo2().uordblks;
    for (int i = 0; i < 20; ++i) {
        round();
    }
    EXPECT_EQ(descriptors(), open);
    EXPECT_LT(mallinfo2().uordblks, heap + 1024);
    dup2(input, 0);
    close(input);
}

// For an ordinary user, a folder that cannot be entered is no empty one, and
// one in a folder that no one may change cannot be removed: each fails, and
// says why.
TEST_F(DiskTest, WhatAnOrdinaryUserMayNotChangeFailsAndSaysWhy) {
    MakeFiles({"closed/a.txt"});
    fs::create_directories(FsPath("fixed/sub"));
    const int failures = ExitCodeAsNobody(FsPath(""), [&] {
        fs::permissions(FsPath("closed"), fs::perms::owner_read);
        fs::permissions(FsPath("fixed"), fs::perms(0555));
        CStringArray list;
        const bool listed = disk.ListFiles(Path("closed"), list, NamesOnly) ||
                            disk.m_errorText != SystemError(ERROR_ACCESS_DENIED, Path("closed/"));
        const bool removed =
            disk.RemoveDirectory(Path("fixed/sub")) ||
            disk.m_errorText != SystemError(ERROR_ACCESS_DENIED, Path("fixed/sub/"));
        return int(listed) + 2 * int(removed);
    });
    if (failures == kNotPrepared) {
        GTEST_SKIP() << "the start as another user takes root";
    }
    EXPECT_EQ(failures, 0) << "1: the listing, 2: the removal";
}

// A current directory that is gone has no path to read.
TEST_F(DiskTest, ACurrentDirectoryThatIsGoneReadsEmpty) {
    MakeFiles({"gone/f"});
    ASSERT_TRUE(SetCurrentDirectoryW(Path("gone")));
    fs::remove_all(FsPath("gone"));
    EXPECT_EQ(ReadCurrentDirectory(), CString());
    ASSERT_TRUE(SetCurrentDirectoryW(Path()));
}

}  // namespace
