// Copying files and trees through temporaries put in place, and creating
// directory chains.
#include <algorithm>

#include "disk/BatchRecord.h"
#include "disk/FileBatch.h"
#include "tests/disk/DiskTest.h"
#include "tests/support/FaultSeam.h"

namespace {

// The name of the temporary that a batch gives `name` beside it: its new
// content's, or with "kept:" in front, its old content's, or that of the
// batch's record ("record:") or of its mark of done ("done:").
std::string TemporaryName(LPCWSTR name) {
    return ToFsPath(TemporaryFor(CString(TEXT("\\")) + name)).filename().string();
}

TEST_F(DiskTest, CopyTreeReplacesEveryFileAndKeepsWhatTheSourceLacks) {
    MakeFiles({"src/a.txt", "src/b.txt", "src/sub/deep/c.txt", "dst/b.txt", "dst/extra.txt",
               "dst/kept.txt"});
    fs::create_directories(FsPath("src/empty"));
    // An updater that stages an unchanged file as a hard link of the
    // installed one must find it as it was.
    fs::create_hard_link(FsPath("dst/kept.txt"), FsPath("src/kept.txt"));
    // Two other files that each have a second name are two files.
    MakeFiles({"src/twice.txt", "dst/twice.txt"});
    fs::create_hard_link(FsPath("src/twice.txt"), FsPath("twice-src"));
    fs::create_hard_link(FsPath("dst/twice.txt"), FsPath("twice-dst"));
    // What a copy cut off left beside a target is met again and goes; a
    // read-only target is replaced like any other.
    WriteFile(ToFsPath(TemporaryFor(Path("dst/a.txt"))), "cut off");
    // A file under the name a.txt's old content would be kept under, had it
    // had one, is not the copy's.
    const fs::path notKept = FsPath("dst") / TemporaryName(TEXT("kept:a.txt"));
    WriteFile(notKept, "another's");
    fs::permissions(FsPath("dst/b.txt"), fs::perms::owner_read);

    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("dst/"), TRUE)) << disk.m_errorText;
    for (const char* file : {"a.txt", "b.txt", "sub/deep/c.txt", "twice.txt"}) {
        EXPECT_EQ(ReadFile(FsPath("dst") / file), std::string("src/") + file) << file;
    }
    EXPECT_TRUE(fs::equivalent(FsPath("dst/kept.txt"), FsPath("src/kept.txt")));
    EXPECT_EQ(ReadFile(notKept), "another's");
    fs::remove(notKept);
    // Each file is shown as it is listed and again as it is copied.
    EXPECT_EQ(std::count(window.texts.begin(), window.texts.end(), CString(TEXT("a.txt"))), 2);
    EXPECT_EQ(In("dst"),
              (Names{"a.txt", "b.txt", "empty", "extra.txt", "kept.txt", "sub", "twice.txt"}));
    // A missing source has no files, and the destination is still made; a
    // tree copy needs its source.
    EXPECT_TRUE(disk.CopyFiles(Path("missing"), Path("new/a/b"), TRUE));
    EXPECT_FALSE(disk.CopyTree(Path("missing"), Path("out"), TRUE));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_PATH_NOT_FOUND, Path("missing") + TEXT("\\*.*")));
    EXPECT_EQ(In(""), (Names{"dst", "new", "src", "twice-dst", "twice-src"}));
    // A file in the way fails a chain, with the message for the level that
    // could not be made.
    EXPECT_EQ(disk.CreateDirectoryChain(Path("src/a.txt/deeper")), 0);
    const CString tested = TEXT(" ") + Path("src/a.txt/deeper");
    EXPECT_EQ(disk.m_errorText.Right(tested.GetLength()), tested);
    // A doubled separator inside the path still makes every level after it,
    // each shown as it is made.
    window.texts.clear();
    EXPECT_EQ(disk.CreateDirectoryChain(Path("chain//deeper")), 1) << disk.m_errorText;
    EXPECT_EQ(disk.DirectoryExists(Path("chain/deeper")), 1);
    EXPECT_TRUE(fs::is_directory(FsPath("chain/deeper")));
    EXPECT_EQ(std::count(window.texts.begin(), window.texts.end(), Path("chain")), 1);
    // A batch given up once sealed, as when the copy is cut short by an
    // exception, puts back what it placed, over a read-only new file too,
    // which Windows refuses to replace until it is made writable (Wine does
    // not, and is made to here).
    MakeFiles({"again/a.txt"});
    fs::permissions(FsPath("again/a.txt"), fs::perms::owner_read);
    {
        FileBatch batch(Folder("dst"));
        ASSERT_TRUE(batch.Write(Folder("again"), Folder("dst"), TEXT("a.txt")) && batch.Seal() &&
                    batch.Place(0));
        EXPECT_EQ(ReadFile(FsPath("dst/a.txt")), "again/a.txt");
#ifdef _WIN32
        if (HasFaultSeam()) {
            InjectFault({Call::Rename, Failure::AccessDenied, "dst/a.txt", 0, 1});
        }
#endif
    }
    ClearFault();
    fs::permissions(FsPath("again/a.txt"), fs::perms::owner_all);
    EXPECT_EQ(ReadFile(FsPath("dst/a.txt")), "src/a.txt");
    EXPECT_EQ(In("dst"),
              (Names{"a.txt", "b.txt", "empty", "extra.txt", "kept.txt", "sub", "twice.txt"}));
    // A file that another program makes where the batch adds one, after the
    // batch is sealed, is not the batch's to replace, nor to remove.
    {
        FileBatch batch(Folder("dst"));
        ASSERT_TRUE(batch.Write(Folder("again"), Folder("dst/sub"), TEXT("a.txt")) && batch.Seal());
        WriteFile(FsPath("dst/sub/a.txt"), "another's");
        EXPECT_FALSE(batch.Place(0));
        EXPECT_TRUE(batch.Undo());
    }
    EXPECT_EQ(ReadFile(FsPath("dst/sub/a.txt")), "another's");
    // A copy into its own tree copies what was there before it began, once.
    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("src/copy"), TRUE));
    EXPECT_EQ(In("src/copy"), (Names{"a.txt", "b.txt", "empty", "kept.txt", "sub", "twice.txt"}));
}

// A file named as another's temporary, or as the name that another's old
// content is kept under while the copy goes in, could not be told from it:
// the copy fails at the first of the two and replaces nothing. A name only
// like a temporary's is a file. A copy told to stop on an error goes in as
// one: when a target cannot be replaced, the files placed before it go back
// (those it added go); one told to go on copies the rest, and still tells
// of the failure. A copy of the files leaves the folders.
TEST_F(DiskTest, CopyFailsAtAnothersTemporaryOrABusyTargetAndStopsWhenTold) {
    // A temporary's name but for one digit, put as the one character past
    // the hexadecimal ones that stands for the same number (W for 0).
    std::string lookAlike = TemporaryName(TEXT("y.txt"));
    const size_t digit = lookAlike.find_first_of("01234", 8);
    lookAlike[digit] = static_cast<char>('W' + lookAlike[digit] - '0');
    const std::pair<Names, bool> cases[] = {
        {{"y.txt", TemporaryName(TEXT("y.txt"))}, true},
        {{"a.txt", "b.txt", TemporaryName(TEXT("a.txt")), TemporaryName(TEXT("b.txt"))}, true},
        {{"y.txt", TemporaryName(TEXT("kept:y.txt"))}, true},
        // Two names that hash alike, so that their temporaries would be one.
        {{"VfHXcha", "hT9T3V\xE5\x89\x8E"}, true},
        // Listed before the temporary's name.
        {{"!y.txt", TemporaryName(TEXT("!y.txt"))}, true},
        {{"y.txt", "x" + TemporaryName(TEXT("y.txt")).substr(1)}, false},
        // A temporary's name of no file the copy writes.
        {{"y.txt", ".tavrel-0000000000000000"}, false},
        {{"y.txt", lookAlike}, false},
    };
    for (const auto& [names, refused] : cases) {
        fs::remove_all(FsPath("src"));
        fs::remove_all(FsPath("dst"));
        MakeFiles(names, "src");
        EXPECT_EQ(disk.CopyTree(Path("src"), Path("dst"), TRUE), !refused) << *names.begin();
        // The first of the two in the listing's order is refused.
        const std::string& first = *names.begin();
        EXPECT_EQ(
            disk.m_errorText,
            refused ? CopyError(ERROR_FILE_EXISTS, "src/" + first, "dst/" + first) : CString());
        EXPECT_EQ(In("dst"), refused ? Names() : names);
    }
    // One told to go on copies all it can, and still fails: past a file it
    // refuses, and past a folder it cannot make for a file in the way.
    const std::pair<Names, Names> goOn[] = {
        {{"go/y.txt", "go/" + TemporaryName(TEXT("y.txt")), "go/z.txt"}, {"y.txt", "z.txt"}},
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
        EXPECT_EQ(disk.m_errorText, CopyError(ERROR_DISK_FULL, "from/a", "to/a"));
    }
    EXPECT_FALSE(disk.CopyFiles(Path("from"), Path("to"), TRUE));
    EXPECT_EQ(disk.m_errorText, CopyError(ERROR_ACCESS_DENIED, "from/m", "to/m"));
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
    for (const BOOL stopOnError : {TRUE, FALSE}) {
        EXPECT_FALSE(disk.CopyFiles(Path("from"), Path("to"), stopOnError));
        EXPECT_EQ(disk.m_errorText, CopyError(lockedError, "from/m", "to/m"));
        EXPECT_EQ(In("to"), (stopOnError ? Names{"m"} : Names{"a", "m", "z"}));
    }
}

// A copy is done once it is marked so, and put back when it cannot be; an
// old file that is in use for a moment is waited for. What a copy cannot
// clear up after itself (its record among it) is cleared up by the next copy
// into the folder before anything else: while that fails, the copy fails,
// naming the folder.
TEST_F(DiskTest, WhatACopyCannotClearUpTheNextDoes) {
    SKIP_WITHOUT_FAULT_SEAM();
    const std::string record = TemporaryName(TEXT("record:"));
    const std::string done = TemporaryName(TEXT("done:"));
    const std::string kept = TemporaryName(TEXT("kept:a.txt"));
    const std::string temporary = TemporaryName(TEXT("a.txt"));
    MakeFiles({"one/a.txt", "two/a.txt", "two/m"});
    const struct {
        // The second has a file where the destination has a folder.
        const char* source;
        Fault copying;
        BOOL copied;
        Fault clearing;
        BOOL stopOnError = TRUE;
    } cases[] = {
        {"one", {Call::Rename, Failure::AccessDenied, done.c_str()}, FALSE, kNoFault},
        // An old file in use for a moment (a scanner reading it) is tried 8
        // times in all.
        {"one", {Call::Rename, Failure::InUse, kept.c_str(), 0, 7}, TRUE, kNoFault},
        {"one", {Call::Rename, Failure::InUse, kept.c_str(), 0, 8}, FALSE, kNoFault},
        {"one",
         {Call::Remove, Failure::AccessDenied, kept.c_str()},
         TRUE,
         {Call::Remove, Failure::AccessDenied, temporary.c_str()}},
        {"two",
         {Call::Remove, Failure::AccessDenied, record.c_str()},
         FALSE,
         {Call::Remove, Failure::AccessDenied, record.c_str()}},
        // Neither in place nor put back at once, a.txt is put back by the
        // undo of a copy that goes on past errors, not lost by its finish.
        {"one", {Call::Rename, Failure::AccessDenied, "to/a.txt", 0, 2}, FALSE, kNoFault, FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        fs::remove_all(FsPath("to"));
        MakeFiles({"to/a.txt", "to/m/inside"});
        InjectFault(c.copying);
        EXPECT_EQ(disk.CopyFiles(Path(c.source), Path("to"), c.stopOnError), c.copied);
        const std::string content = c.copied ? std::string(c.source) + "/a.txt" : "to/a.txt";
        EXPECT_EQ(ReadFile(FsPath("to/a.txt")), content);
        if (c.clearing.call != kNoFault.call) {
            InjectFault(c.clearing);
            EXPECT_FALSE(disk.RecoverCopy(Path("to")));
            EXPECT_EQ(disk.m_errorText, SystemError(ERROR_ACCESS_DENIED, Path("to/")));
        }
        ClearFault();
        EXPECT_TRUE(disk.RecoverCopy(Path("to")));
        EXPECT_EQ(In("to"), (Names{"a.txt", "m"}));
        EXPECT_EQ(ReadFile(FsPath("to/a.txt")), content);
    }
}

// A record that cannot be read at first is not taken for one cut short: the
// copy it tells of is undone once it can be read.
TEST_F(DiskTest, ARecordThatCannotBeReadIsKept) {
    SKIP_WITHOUT_FAULT_SEAM();
    MakeFiles({"one/a.txt", "to/a.txt"});
    // A target that cannot be looked at is not taken for one the batch adds,
    // which its undo would remove.
    {
        FileBatch batch(Folder("to"));
        InjectFault({Call::Search, Failure::IoError, "to/a.txt", 0, 1});
        EXPECT_FALSE(batch.Write(Folder("one"), Folder("to"), TEXT("a.txt")) && batch.Seal());
    }
    {
        FileBatch batch(Folder("to"));
        ASSERT_TRUE(batch.Write(Folder("one"), Folder("to"), TEXT("a.txt")) && batch.Seal() &&
                    batch.Place(0));
        // Its undo cannot put a.txt back either.
        InjectFault({Call::Rename, Failure::AccessDenied, "to/a.txt"});
    }
    const std::string record = TemporaryName(TEXT("record:"));
    InjectFault({Call::Open, Failure::IoError, record.c_str(), 0, 1});
    EXPECT_FALSE(disk.RecoverCopy(Path("to")));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_IO_DEVICE, Path("to/")));
    // While a.txt cannot be put back, the copy stays unfinished, and says why.
    InjectFault({Call::Rename, Failure::AccessDenied, "to/a.txt"});
    EXPECT_FALSE(disk.RecoverCopy(Path("to")));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_ACCESS_DENIED, Path("to/")));
    ClearFault();
    EXPECT_EQ(ReadFile(FsPath("to/a.txt")), "one/a.txt");
    EXPECT_TRUE(disk.RecoverCopy(Path("to")));
    EXPECT_EQ(ReadFile(FsPath("to/a.txt")), "to/a.txt");
    EXPECT_EQ(In("to"), Names{"a.txt"});
}

// A record cut short while it was written (by a power cut before it was on
// stable storage), which nothing can have acted on, is removed unread:
// nothing it names is touched, even what is there to be put back.
TEST_F(DiskTest, ARecordCutShortIsRemovedUnread) {
    MakeFiles({"to/a.txt"});
    const std::string kept = TemporaryName(TEXT("kept:a.txt"));
    WriteFile(FsPath("to") / kept, "kept");
    // One entry, a.txt replaced, in UTF-16; then a check that is not its own.
    const std::string entry("=\0a\0.\0t\0x\0t\0\0\0", 14);
    for (const std::string& record : {std::string(), entry + std::string(8, '\0')}) {
        WriteFile(FsPath("to") / TemporaryName(TEXT("record:")), record);
        EXPECT_TRUE(disk.HasUnfinishedCopy(Path("to")));
        EXPECT_TRUE(disk.RecoverCopy(Path("to")));
        EXPECT_EQ(In("to"), (Names{"a.txt", kept}));
        EXPECT_EQ(ReadFile(FsPath("to/a.txt")), "to/a.txt");
    }
    // Nor is a link under its name, which goes unread, whatever it points at.
    const fs::path record = FsPath("to") / TemporaryName(TEXT("record:"));
    if (MakeLink(FsPath("to/a.txt"), record)) {
        EXPECT_TRUE(disk.RecoverCopy(Path("to")));
        EXPECT_EQ(In("to"), (Names{"a.txt", kept}));
    }
    // A folder under the record's name is no record, and not the copy's to
    // remove: it stays, and copies into the folder fail while it does.
    fs::create_directory(record);
    EXPECT_FALSE(disk.RecoverCopy(Path("to")));
    EXPECT_EQ(In("to").size(), 3u);
}

}  // namespace
