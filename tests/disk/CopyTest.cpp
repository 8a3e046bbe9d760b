// Copying files and trees through temporaries put in place, and creating
// directory chains.
#include "disk/FileBatch.h"
#include "tests/disk/DiskTest.h"
#include "tests/support/FaultSeam.h"

namespace {

TEST_F(DiskTest, CopyTreeReplacesEveryFileAndKeepsWhatTheSourceLacks) {
    MakeFiles({"src/a.txt", "src/b.txt", "src/sub/deep/c.txt", "dst/b.txt", "dst/extra.txt",
               "dst/kept.txt"});
    fs::create_directories(FsPath("src/empty"));
    // An updater that stages an unchanged file as a hard link of the
    // installed one must find it as it was.
    fs::create_hard_link(FsPath("dst/kept.txt"), FsPath("src/kept.txt"));
    // What a copy cut off left beside a target is met again and goes; a
    // read-only target is replaced like any other.
    WriteFile(ToFsPath(FileBatch::TemporaryFor(Path("dst/a.txt"))), "cut off");
    fs::permissions(FsPath("dst/b.txt"), fs::perms::owner_read);

    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("dst/"), TRUE)) << disk.m_errorText;
    for (const char* file : {"a.txt", "b.txt", "sub/deep/c.txt"}) {
        EXPECT_EQ(ReadFile(FsPath("dst") / file), std::string("src/") + file) << file;
    }
    EXPECT_TRUE(fs::equivalent(FsPath("dst/kept.txt"), FsPath("src/kept.txt")));
    EXPECT_EQ(In("dst"), (Names{"a.txt", "b.txt", "empty", "extra.txt", "kept.txt", "sub"}));
    // A missing source has no files, and the destination is still made; a
    // tree copy needs its source.
    EXPECT_TRUE(disk.CopyFiles(Path("missing"), Path("new/a/b"), TRUE));
    EXPECT_FALSE(disk.CopyTree(Path("missing"), Path("out"), TRUE));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_PATH_NOT_FOUND, Path("missing") + TEXT("\\*.*")));
    EXPECT_EQ(In(""), (Names{"dst", "new", "src"}));
    // A file in the way fails a chain, with the message for the level that
    // could not be made.
    EXPECT_EQ(disk.CreateDirectoryChain(Path("src/a.txt/deeper")), 0);
    const CString tested = TEXT(" ") + Path("src/a.txt/deeper");
    EXPECT_EQ(disk.m_errorText.Right(tested.GetLength()), tested);
    // A doubled separator inside the path still makes every level after it.
    EXPECT_TRUE(disk.CreateDirectoryChain(Path("chain//deeper"))) << disk.m_errorText;
    EXPECT_TRUE(fs::is_directory(FsPath("chain/deeper")));
    // A batch given up once sealed, as when the copy is cut short by an
    // exception, puts back what it placed.
    MakeFiles({"again/a.txt"});
    {
        FileBatch batch(Path("dst") + TEXT("\\"));
        ASSERT_TRUE(
            batch.Write(Path("again") + TEXT("\\"), Path("dst") + TEXT("\\"), TEXT("a.txt")) &&
            batch.Seal() && batch.Place(0));
        EXPECT_EQ(ReadFile(FsPath("dst/a.txt")), "again/a.txt");
    }
    EXPECT_EQ(ReadFile(FsPath("dst/a.txt")), "src/a.txt");
    EXPECT_EQ(In("dst"), (Names{"a.txt", "b.txt", "empty", "extra.txt", "kept.txt", "sub"}));
    // A file that another program makes where the batch adds one, after the
    // batch is sealed, is not the batch's to replace, nor to remove.
    {
        FileBatch batch(Path("dst") + TEXT("\\"));
        ASSERT_TRUE(
            batch.Write(Path("again") + TEXT("\\"), Path("dst/sub") + TEXT("\\"), TEXT("a.txt")) &&
            batch.Seal());
        WriteFile(FsPath("dst/sub/a.txt"), "another's");
        EXPECT_FALSE(batch.Place(0));
        EXPECT_TRUE(batch.Undo());
    }
    EXPECT_EQ(ReadFile(FsPath("dst/sub/a.txt")), "another's");
    // A copy into its own tree copies what was there before it began, once.
    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("src/copy"), TRUE));
    EXPECT_EQ(In("src/copy"), (Names{"a.txt", "b.txt", "empty", "kept.txt", "sub"}));
}

// A file named as another's temporary, or as the name that another's old
// content is kept under while the copy goes in, could not be told from it:
// the copy fails at the first of the two and replaces nothing. A name only
// like a temporary's is a file. A copy told to stop on an error goes in as
// one: when a target cannot be replaced, the files placed before it go back
// (those it added go); one told to go on copies the rest, and still tells
// of the failure. A copy of the files leaves the folders.
TEST_F(DiskTest, CopyFailsAtAnothersTemporaryOrABusyTargetAndStopsWhenTold) {
    const auto temporary = [](LPCWSTR name) {
        return ToFsPath(FileBatch::TemporaryFor(CString(TEXT("\\")) + name)).filename().string();
    };
    const std::pair<Names, bool> cases[] = {
        {{"y.txt", temporary(TEXT("y.txt"))}, true},
        {{"a.txt", "b.txt", temporary(TEXT("a.txt")), temporary(TEXT("b.txt"))}, true},
        {{"y.txt", temporary(TEXT("kept:y.txt"))}, true},
        {{"y.txt", "x" + temporary(TEXT("y.txt")).substr(1)}, false},
    };
    for (const auto& [names, refused] : cases) {
        fs::remove_all(FsPath("src"));
        MakeFiles(names, "src");
        EXPECT_EQ(disk.CopyTree(Path("src"), Path("dst"), TRUE), !refused) << *names.begin();
        // A temporary's name comes before any other. A refused copy leaves
        // the destination empty for the next row.
        const CString first = FromFsPath("/" + *names.begin());
        const CString copy = Path("src") + first + TEXT(" -> ") + Path("dst") + first;
        EXPECT_EQ(disk.m_errorText, refused ? SystemError(ERROR_FILE_EXISTS, copy) : CString());
        EXPECT_EQ(In("dst"), refused ? Names() : names);
    }
    // One told to go on copies all it can, and still fails: past a file it
    // refuses, and past a folder it cannot make for a file in the way.
    const std::pair<Names, Names> goOn[] = {
        {{"go/y.txt", "go/" + temporary(TEXT("y.txt")), "go/z.txt"}, {"y.txt", "z.txt"}},
        {{"go/sub/z.txt", "go/y.txt", "went/sub"}, {"sub", "y.txt"}},
    };
    for (const auto& [files, copied] : goOn) {
        fs::remove_all(FsPath("go"));
        fs::remove_all(FsPath("went"));
        MakeFiles(files);
        EXPECT_FALSE(disk.CopyTree(Path("go"), Path("went"), FALSE));
        EXPECT_EQ(In("went"), copied);
        EXPECT_EQ(ReadFile(FsPath("went/y.txt")), "go/y.txt");
    }
    // A folder where the copy has a file is no file to replace.
    MakeFiles({"from/a", "from/m", "from/sub/f", "from/z", "to/m/inside"});
    // A disk that fills up fails the copy with that error, not with one met
    // while clearing up after it.
    if (HasFaultSeam()) {
        InjectFault({Call::Copy, Failure::DiskFull});
        EXPECT_FALSE(disk.CopyFiles(Path("from"), Path("to"), TRUE));
        ClearFault();
        EXPECT_EQ(disk.m_errorText, SystemError(ErrorCodeOf(Failure::DiskFull),
                                                Path("from/a") + TEXT(" -> ") + Path("to/a")));
    }
    EXPECT_FALSE(disk.CopyFiles(Path("from"), Path("to"), TRUE));
    EXPECT_EQ(disk.m_errorText,
              SystemError(ERROR_ACCESS_DENIED, Path("from/m") + TEXT(" -> ") + Path("to/m")));
    EXPECT_EQ(In("to"), Names{"m"});
    fs::remove_all(FsPath("to/m"));
    MakeFiles({"to/m"});
    const BusyFile locked(FsPath("to/m"), BusyFile::kLocked);
    if (!locked.IsHeld()) {
        GTEST_SKIP() << "no immutable files here (chattr +i)";
    }
#ifdef _WIN32
    const DWORD lockedError = ERROR_SHARING_VIOLATION;
#else
    const DWORD lockedError = ERROR_ACCESS_DENIED;
#endif
    const CString m = Path("from/m") + TEXT(" -> ") + Path("to/m");
    for (const BOOL stopOnError : {TRUE, FALSE}) {
        EXPECT_FALSE(disk.CopyFiles(Path("from"), Path("to"), stopOnError));
        EXPECT_EQ(disk.m_errorText, SystemError(lockedError, m));
        EXPECT_EQ(In("to"), (stopOnError ? Names{"m"} : Names{"a", "m", "z"}));
    }
}

}  // namespace
