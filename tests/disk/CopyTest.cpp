// Copying files and trees, and creating directory chains.
#include "disk/FileBatch.h"
#include "tests/disk/DiskTest.h"
#include "tests/support/Obstacles.h"

namespace {

TEST_F(DiskTest, CopyTreeMakesEveryDirectoryAndCopiesEveryFile) {
    MakeFile("src/top.txt");
    MakeFile("src/a/one.txt");
    MakeFile("src/a/deep/two.txt");
    MakeFolder("src/empty");
    const CString source = Path("src");
    const CString destination = Path("out/new");

    EXPECT_TRUE(disk.CopyTree(source, destination, TRUE));
    EXPECT_EQ(disk.m_errorText, CString());
    EXPECT_EQ(source, Path("src"));
    for (const char* file : {"top.txt", "a/one.txt", "a/deep/two.txt"}) {
        EXPECT_EQ(ReadFile(FsPath("out/new") / file), std::string("src/") + file) << file;
    }
    EXPECT_TRUE(fs::is_directory(FsPath("out/new/empty")));
}

TEST_F(DiskTest, CopyTreeOverwritesAndKeepsWhatTheSourceLacks) {
    MakeFile("src/same.txt");
    MakeFile("dst/same.txt");
    MakeFile("dst/extra.txt");
    MakeFolder("dst/extra");
    WriteFile(FsPath("dst/same.txt"), "old");

    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("dst"), TRUE));
    EXPECT_EQ(ReadFile(FsPath("dst/same.txt")), "src/same.txt");
    EXPECT_TRUE(Exists("dst/extra.txt"));
    EXPECT_TRUE(Exists("dst/extra"));
}

// An updater that stages unchanged files as hard links of the installed
// ones (cp -al, rsync --link-dest) must find them as they were.
TEST_F(DiskTest, CopyTreeLeavesAFileThatIsItsOwnTarget) {
    MakeFile("dst/kept.txt");
    MakeFile("src/new.txt");
    fs::create_hard_link(FsPath("dst/kept.txt"), FsPath("src/kept.txt"));

    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("dst"), TRUE));
    EXPECT_EQ(ReadFile(FsPath("dst/kept.txt")), "dst/kept.txt");
    EXPECT_TRUE(fs::equivalent(FsPath("dst/kept.txt"), FsPath("src/kept.txt")));
    EXPECT_EQ(ReadFile(FsPath("dst/new.txt")), "src/new.txt");
}

// What a copy cut off left beside a target is met again and goes; a
// read-only target is replaced like any other.
TEST_F(DiskTest, CopyTreeReplacesLeftoversAndReadOnlyTargets) {
    MakeFile("src/a.txt");
    MakeFile("src/b.txt");
    MakeFile("dst/b.txt");
    WriteFile(ToFsPath(FileBatch::TemporaryFor(Path("dst/a.txt"))), "cut off");
    fs::permissions(FsPath("dst/b.txt"), fs::perms::owner_read);

    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("dst"), TRUE)) << disk.m_errorText;
    EXPECT_EQ(ReadFile(FsPath("dst/a.txt")), "src/a.txt");
    EXPECT_EQ(ReadFile(FsPath("dst/b.txt")), "src/b.txt");
    EXPECT_EQ(Names("dst"), (std::set<std::string>{"a.txt", "b.txt"}));
}

// A file named as another's temporary could not be told from it: the copy
// fails, and replaces nothing.
TEST_F(DiskTest, CopyTreeRefusesANameThatIsAnothersTemporary) {
    MakeFile("src/y.txt");
    MakeFile("dst/y.txt");
    const CString temporary = FileBatch::TemporaryFor(Path("src/y.txt"));
    WriteFile(ToFsPath(temporary), "x");

    EXPECT_FALSE(disk.CopyTree(Path("src"), Path("dst"), TRUE));
    EXPECT_EQ(ReadFile(FsPath("dst/y.txt")), "dst/y.txt");
    EXPECT_EQ(Names("dst"), std::set<std::string>{"y.txt"});
}

TEST_F(DiskTest, CopyTreeIntoItselfCopiesWhatWasThereBefore) {
    MakeFile("src/f.txt");
    MakeFile("src/sub/g.txt");
    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("src/copy"), TRUE));
    EXPECT_TRUE(Exists("src/copy/f.txt"));
    EXPECT_TRUE(Exists("src/copy/sub/g.txt"));
    EXPECT_FALSE(Exists("src/copy/copy"));
}

TEST_F(DiskTest, CopyTreeOfAMissingSourceFailsAndMakesNothing) {
    EXPECT_FALSE(disk.CopyTree(Path("missing"), Path("out"), TRUE));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_PATH_NOT_FOUND, Path("missing/*.*")));
    EXPECT_FALSE(Exists("out"));
}

TEST_F(DiskTest, CopyFilesCopiesOnlyTheTopLevel) {
    MakeFolder("only-folders/sub");
    MakeFile("only-folders/sub/inner.txt");
    EXPECT_TRUE(disk.CopyFiles(Path("only-folders"), Path("out"), TRUE));
    EXPECT_TRUE(fs::is_directory(FsPath("out")));
    EXPECT_FALSE(Exists("out/sub"));

    // A missing source has no files, and the destination is still made.
    EXPECT_TRUE(disk.CopyFiles(Path("missing"), Path("out2"), TRUE));
    EXPECT_TRUE(fs::is_directory(FsPath("out2")));
    EXPECT_EQ(window.texts.back(), Path("out2"));
}

TEST_F(DiskTest, CopyStopsAtABusyTarget) {
    for (const char* name : {"a.txt", "m.txt", "z.txt", "sub/s.txt"}) {
        MakeFile((std::string("src/") + name).c_str());
    }
    MakeFile("dst/m.txt");
    const BusyFile busy(FsPath("dst/m.txt"));
    window.texts.clear();

    // The tree copy stops there: nothing after it takes its place.
    EXPECT_FALSE(disk.CopyTree(Path("src"), Path("dst"), TRUE));
    EXPECT_FALSE(Exists("dst/sub/s.txt"));

    EXPECT_FALSE(disk.CopyFiles(Path("src"), Path("dst"), TRUE));
    const CString failure =
        SystemError(busy.Error(), Path("src/m.txt") + TEXT(" -> ") + Path("dst/m.txt"));
    EXPECT_EQ(disk.m_errorText, failure);
    EXPECT_TRUE(Exists("dst/a.txt"));
    EXPECT_FALSE(Exists("dst/z.txt"));
    EXPECT_EQ(window.texts.back(), failure);
    EXPECT_EQ(Names("dst"), (std::set<std::string>{"a.txt", "m.txt", "sub"}));

    // Going on past it copies the rest, and still tells of the failure.
    EXPECT_FALSE(disk.CopyFiles(Path("src"), Path("dst"), FALSE));
    EXPECT_EQ(disk.m_errorText, failure);
    EXPECT_TRUE(Exists("dst/z.txt"));

    fs::remove(FsPath("dst/z.txt"));
    EXPECT_FALSE(disk.CopyTree(Path("src"), Path("dst"), FALSE));
    EXPECT_EQ(disk.m_errorText, failure);
    EXPECT_TRUE(Exists("dst/z.txt"));
    EXPECT_TRUE(Exists("dst/sub/s.txt"));
}

TEST_F(DiskTest, CreateDirectoryChainMakesEveryMissingLevel) {
    CString path = Path("new/a/b");
    path.Replace(TEXT('\\'), TEXT('/'));
    const CString given = path;
    EXPECT_EQ(disk.CreateDirectoryChain(path), 1);
    EXPECT_EQ(path, given);
    EXPECT_TRUE(fs::is_directory(FsPath("new/a/b")));
    EXPECT_EQ(window.texts.back(), Path("new/a/b"));

    window.texts.clear();
    EXPECT_EQ(disk.CreateDirectoryChain(Path("new/a/b")), 1);
    EXPECT_EQ(disk.m_errorText, CString());
}

TEST_F(DiskTest, CreateDirectoryChainFailsAtAFileInTheWay) {
    MakeFile("blocked");
    EXPECT_EQ(disk.CreateDirectoryChain(Path("blocked/deeper")), 0);
    const CString tested = Path("blocked/deeper");
    EXPECT_EQ(disk.m_errorText.Right(tested.GetLength() + 1), TEXT(" ") + tested);
    EXPECT_NE(disk.m_errorText.Left(1), CString(TEXT(" ")));

    // And so does a copy into it.
    MakeFile("src/a.txt");
    EXPECT_FALSE(disk.CopyFiles(Path("src"), Path("blocked/deeper"), TRUE));
    EXPECT_EQ(disk.m_errorText.Right(tested.GetLength() + 1), TEXT(" ") + tested);
}

}  // namespace
