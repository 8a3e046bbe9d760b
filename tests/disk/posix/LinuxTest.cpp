// What only Linux has: copies over links and FIFOs; failures that
// Linux has no real condition for (the tests run as root), made through the
// platform layer's fault seam; and a current directory that moves while it is
// read.
#include <sys/stat.h>

#include "platform/posix/FaultInjection.h"
#include "tests/disk/DiskTest.h"

// Where the current directory moves just after its length is first read.
static CString movedTo;
static int readings = 0;

// The layer's GetCurrentDirectoryW, wrapped at link time (see CMakeLists.txt).
extern "C" DWORD __real__Z20GetCurrentDirectoryWjPDs(DWORD size, LPWSTR buffer);
extern "C" DWORD __wrap__Z20GetCurrentDirectoryWjPDs(DWORD size, LPWSTR buffer) {
    const DWORD answer = __real__Z20GetCurrentDirectoryWjPDs(size, buffer);
    if (!movedTo.IsEmpty() && ++readings == 1) {
        SetCurrentDirectoryW(movedTo);
    }
    // A reader that never catches up is failed rather than left to spin.
    return readings > 5 ? 0 : answer;
}

namespace {

// A search that cannot start, or breaks off, has not listed the directory:
// treating it as complete would report a partial copy as done, or remove
// what was never listed. A subdirectory that cannot be searched ends a walk.
// A copy is done only once what it wrote, and what it put in place, is on
// stable storage. A current directory that grows between two readings is
// read whole.
TEST_F(DiskTest, PlatformCallsThatFailOrRaceAreNeverTakenAsDone) {
    MakeFiles({"src/a.txt", "src/b.txt", "src/sub/c.txt"});
    movedTo = Path("src");
    EXPECT_EQ(ReadCurrentDirectory(), Path("src"));
    movedTo.Empty();
    ASSERT_TRUE(SetCurrentDirectoryW(Path()));
    // Not durable before they are placed, they are not placed; not durable
    // once placed, they go back, and the next copy finishes putting them
    // back (nothing tells that that is durable) before it copies.
    for (const int flushesBeforeFailure : {0, 1}) {
        InjectFault({FaultPoint::FinishFlushes, ERROR_IO_DEVICE, nullptr, flushesBeforeFailure});
        EXPECT_FALSE(disk.CopyFiles(Path("src"), Path("dst"), TRUE));
        EXPECT_EQ(disk.m_errorText, SystemError(ERROR_IO_DEVICE, Path("dst/")));
        EXPECT_EQ(In("dst").count("a.txt") + In("dst").count("b.txt"), 0u);
        EXPECT_EQ(disk.HasUnfinishedCopy(Path("dst")), flushesBeforeFailure);
    }
    ClearFault();
    EXPECT_TRUE(disk.CopyFiles(Path("src"), Path("dst"), TRUE));
    EXPECT_EQ(In("dst"), (Names{"a.txt", "b.txt"}));
    const std::pair<Fault, bool> cases[] = {
        {{FaultPoint::FindFirstFile, ERROR_IO_DEVICE, u"src\\*.*"}, false},
        {{FaultPoint::FindNextFile, ERROR_IO_DEVICE, u"src\\*.*", 1}, false},
        {{FaultPoint::FindFirstFile, ERROR_ACCESS_DENIED, u"src\\sub\\*.*"}, true},
    };
    for (const auto& [seam, filesListed] : cases) {
        InjectFault(seam);
        CStringArray list;
        EXPECT_EQ(disk.ListFiles(Path("src"), list, NamesOnly), filesListed);
        EXPECT_EQ(list.GetSize(), filesListed ? 2 : 0);
        // Each fails, the last one (whose error is kept) too.
        EXPECT_FALSE(disk.ListSubdirectories(Path("src"), list, FullPaths) ||
                     disk.CopyTree(Path("src"), Path("dst"), TRUE) || disk.RemoveTree(Path("src")));
        EXPECT_EQ(disk.m_errorText, SystemError(seam.error, Path() + TEXT("\\") + seam.pathEnding));
        EXPECT_EQ(In("src"), (Names{"a.txt", "b.txt", "sub"}));
        EXPECT_EQ(disk.EmptyDirectory(Path("src")), filesListed);
    }
    ClearFault();
}

// Copies on Linux trees as real ones are: links and FIFOs in the tree copied
// and in the way of the copy. Nothing outside the trees is read, written or
// changed, and nothing blocks.
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

    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("dst"), TRUE)) << disk.m_errorText;
    EXPECT_EQ(In("dst"), (Names{"config.ini", "pipe", "plugins", "z-last.txt"}));
    for (const char* file : {"config.ini", "pipe", "plugins/x.dll", "z-last.txt"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(FsPath("dst") / file))) << file;
        EXPECT_EQ(ReadFile(FsPath("dst") / file), std::string("src/") + file) << file;
    }
    EXPECT_EQ(SnapshotTree(FsPath("outside")), outside);
    EXPECT_EQ(fs::status(FsPath("outside/secret.txt")).permissions(), fs::perms(0600));
}

}  // namespace
