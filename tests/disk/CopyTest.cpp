// Copying files and trees through temporaries put in place, and creating
// directory chains.
#include "disk/FileBatch.h"
#include "tests/disk/DiskTest.h"
#include "tests/support/Obstacles.h"

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
    // A copy of the files leaves the folders.
    EXPECT_TRUE(disk.CopyFiles(Path("src"), Path("new/files"), TRUE));
    EXPECT_EQ(In("new/files"), (Names{"a.txt", "b.txt", "kept.txt"}));
    // A missing source has no files, and the destination is still made; a
    // tree copy needs its source.
    EXPECT_TRUE(disk.CopyFiles(Path("missing"), Path("new/a/b"), TRUE));
    EXPECT_FALSE(disk.CopyTree(Path("missing"), Path("out"), TRUE));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_PATH_NOT_FOUND, Path("missing") + TEXT("\\*.*")));
    EXPECT_EQ(In(""), (Names{"dst", "new", "src"}));
    // A file in the way fails a chain, with the message for the level that
    // could not be made.
    MakeFiles({"blocked"});
    EXPECT_EQ(disk.CreateDirectoryChain(Path("blocked/deeper")), 0);
    const CString tested = TEXT(" ") + Path("blocked/deeper");
    EXPECT_EQ(disk.m_errorText.Right(tested.GetLength()), tested);
}

// A copy into its own tree copies what was there before it began, once.
TEST_F(DiskTest, CopyTreeIntoItselfCopiesWhatWasThereBefore) {
    MakeFiles({"src/f.txt", "src/sub/g.txt"});
    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("src/copy"), TRUE));
    EXPECT_EQ(In("src/copy"), (Names{"f.txt", "sub"}));
    EXPECT_EQ(In("src/copy/sub"), Names{"g.txt"});
}

// A file named as another's temporary could not be told from it: the copy
// fails at the first of the two and replaces nothing. A name only like a
// temporary's is a file.
TEST_F(DiskTest, CopyRefusesANameThatIsAnothersTemporary) {
    const auto temporary = [](LPCWSTR name) {
        return ToFsPath(FileBatch::TemporaryFor(CString(TEXT("\\")) + name)).filename().string();
    };
    const std::string y = temporary(TEXT("y.txt"));
    const struct {
        Names names;
        bool refused;
    } cases[] = {
        {{"y.txt", y}, true},
        {{"a.txt", "b.txt", temporary(TEXT("a.txt")), temporary(TEXT("b.txt"))}, true},
        {{"y.txt", "x" + y.substr(1)}, false},
    };
    for (const auto& c : cases) {
        const std::string folder = std::to_string(&c - cases);
        MakeFiles(c.names, folder + "/src");
        const CString source = Path((folder + "/src").c_str());
        const CString target = Path((folder + "/dst").c_str());
        EXPECT_EQ(disk.CopyTree(source, target, TRUE), !c.refused) << *c.names.begin();
        // A temporary's name comes before any other.
        const CString first = FromFsPath("/" + *c.names.begin());
        EXPECT_EQ(disk.m_errorText,
                  c.refused ? SystemError(ERROR_FILE_EXISTS,
                                          source + first + TEXT(" -> ") + target + first)
                            : CString());
        EXPECT_EQ(In((folder + "/dst").c_str()), c.refused ? Names() : c.names);
    }
}

// A copy told to stop on an error puts nothing after the failure in place;
// one told to go on copies the rest, and still tells of the failure.
TEST_F(DiskTest, CopyStopsAtABusyTargetOrGoesOnWhenTold) {
    MakeFiles({"src/a.txt", "src/m.txt", "src/z.txt", "dst/m.txt"});
    const BusyFile busy(FsPath("dst/m.txt"));
    for (const BOOL stopOnError : {TRUE, FALSE}) {
        EXPECT_FALSE(disk.CopyFiles(Path("src"), Path("dst"), stopOnError));
        EXPECT_EQ(disk.m_errorText,
                  SystemError(busy.Error(), Path("src/m.txt") + TEXT(" -> ") + Path("dst/m.txt")));
        EXPECT_EQ(In("dst"),
                  (stopOnError ? Names{"a.txt", "m.txt"} : Names{"a.txt", "m.txt", "z.txt"}));
    }
}

}  // namespace
