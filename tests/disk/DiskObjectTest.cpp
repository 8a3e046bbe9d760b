// Path qualification, error text, the paths every operation refuses,
// removing files, directories and trees, and listings: sorted files of one
// directory, and every subdirectory below one, depth first.
#include <algorithm>
#include <functional>

#include "disk/FileSearch.h"
#include "tests/disk/DiskTest.h"
#include "tests/support/FaultSeam.h"

namespace {

// Paths are made absolute with backslashes, a directory with one trailing
// backslash, a path from the root on the current drive; a colon or wildcard
// in a part is an internal error, found after the absolute form is built. UNC directories are taken
// as they are.
TEST_F(DiskTest, QualificationMakesPathsAbsoluteAndRefusesInvalidOnes) {
    const CString cwd = Path("A/B/C");
    fs::create_directories(FsPath("A/B/C"));
    ASSERT_TRUE(SetCurrentDirectoryW(cwd));
    const CString drive = cwd[1] == TEXT(':') ? cwd.Left(2) : CString();
    const std::tuple<bool, CString, CString, BOOL> cases[] = {
        {true, TEXT("C:/Data/sub/"), TEXT("C:\\Data\\sub\\"), TRUE},
        {true, TEXT("\\\\server\\a*b"), TEXT("\\\\server\\a*b\\"), TRUE},
        {true, TEXT(""), cwd + TEXT("\\"), TRUE},
        {false, TEXT("sub/a|b"), cwd + TEXT("\\sub\\a|b"), TRUE},
        {false, TEXT("\\Temp\\a.txt"), drive + TEXT("\\Temp\\a.txt"), TRUE},
        {false, TEXT("..\\..\\x\\a.txt"), Path("A/x/a.txt"), TRUE},
        {false, TEXT("..\\.profile"), Path("A/B/.profile"), TRUE},
        {false, TEXT("C:\\Da:ta\\a.txt"), TEXT("C:\\Da:ta\\a.txt"), FALSE},
        {false, TEXT("a.t*t"), cwd + TEXT("\\a.t*t"), FALSE},
        {false, TEXT("C:"), TEXT("C:"), TRUE},
        {false, TEXT(":a.txt"), cwd + TEXT("\\:a.txt"), FALSE},
        {false, TEXT("?a.txt"), cwd + TEXT("\\?a.txt"), FALSE},
        {false, TEXT("*.txt"), cwd + TEXT("\\*.txt"), FALSE},
        {false, TEXT("C::\\a.txt"), TEXT("C::\\a.txt"), FALSE},
    };
    for (const auto& [directory, in, out, valid] : cases) {
        CString path = in;
        EXPECT_EQ(directory ? disk.QualifyDirectory(path) : disk.QualifyFile(path), valid);
        EXPECT_EQ(path, out);
    }
    ASSERT_TRUE(SetCurrentDirectoryW(Path()));
    const CString internal = TEXT("CDiskObject internal error - check call parameters");
    EXPECT_EQ(window.texts, Texts(6, internal));
}

// Each operation first clears the error text of the one before, and takes a
// wildcard where a path is expected for an internal error, and so an empty
// path, but where it names the current directory (in listings).
TEST_F(DiskTest, EachOperationClearsTheLastErrorAndRefusesInvalidPaths) {
    MakeFiles({"d/a.txt", "e/b.txt", "top.txt"});
    CStringArray list;
    const CString internal = TEXT("CDiskObject internal error - check call parameters");
// An operation on the path p.
#define ON(call) [&](const CString& p) -> BOOL { return call; }
    const std::tuple<std::function<BOOL(const CString&)>, const char*, BOOL> operations[] = {
        {ON(disk.ListFiles(p, list, NamesOnly)), "", TRUE},
        {ON(disk.ListFilesMatching(TEXT("*.txt"), p, list, NamesOnly)), "", TRUE},
        {ON(disk.ListSubdirectories(p, list, NamesOnly)), "", TRUE},
        {ON(disk.DirectoryExists(p)), "d", TRUE},
        {ON(disk.CreateDirectoryChain(p)), "n/m", TRUE},
        {ON(disk.CopyFiles(Path("d"), p, TRUE)), "c", TRUE},
        {ON(disk.CopyTree(p, Path("t"), TRUE)), "d", TRUE},
        {ON(disk.RecoverCopy(p)), "c", TRUE},
        {ON(disk.HasUnfinishedCopy(p)), "c", FALSE},
        {ON(disk.EmptyDirectory(p)), "c", TRUE},
        {ON(disk.RemoveDirectory(p)), "c", TRUE},
        {ON(disk.RemoveTree(p)), "t", TRUE},
        {ON(disk.RemoveFile(p)), "e/b.txt", TRUE},
    };
#undef ON
    for (const auto& [operation, valid, result] : operations) {
        SCOPED_TRACE(valid);
        EXPECT_FALSE(disk.RemoveFile(Path("missing")));
        EXPECT_EQ(operation(Path(valid)), result);
        EXPECT_EQ(disk.m_errorText, CString());
        for (const CString& invalid : {CString(TEXT("a?")), CString()}) {
            if (invalid.IsEmpty() && *valid == 0) {
                continue;
            }
            window.texts.clear();
            EXPECT_FALSE(operation(invalid));
            EXPECT_EQ(window.texts, Texts{internal});
        }
    }
}

// A directory loses its files, hidden ones too, and then fails at a
// subdirectory; a tree goes deepest first. In t, listed after b\c and so
// removed before it: d. Listed before: a, b. In b\c, the files before the
// one that cannot be deleted.
TEST_F(DiskTest, RemovalsStopAtWhatCannotBeRemoved) {
    MakeFiles({"a.txt", "d/a.txt", "d/.hidden", "d/sub/x/f", "t/a/f", "t/b/c/a.txt",
               "t/b/c/locked.txt", "t/b/c/other.txt", "t/d/f"});
    SKIP_WITHOUT_FAULT_SEAM();
    InjectFault({Call::Remove, Failure::AccessDenied, "locked.txt"});
    EXPECT_TRUE(disk.RemoveFile(TEXT("a.txt")));
    EXPECT_FALSE(disk.RemoveFile(TEXT("a.txt")));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_FILE_NOT_FOUND, Path("a.txt")));
    EXPECT_FALSE(disk.RemoveDirectory(Path("d")));
    // Each file is shown as it is listed and again as it goes.
    EXPECT_EQ(std::count(window.texts.begin(), window.texts.end(), CString(TEXT(".hidden"))), 2);
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_DIR_NOT_EMPTY, Path("d/")));
    EXPECT_EQ(In("d"), Names{"sub"});
    EXPECT_FALSE(disk.RemoveTree(Path("t")));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_ACCESS_DENIED, Path("t/b/c/locked.txt")));
    EXPECT_EQ(In("t"), (Names{"a", "b"}));
    EXPECT_EQ(In("t/b/c"), (Names{"locked.txt", "other.txt"}));
    ClearFault();
#ifdef _WIN32
    // A read-only file, a real Windows condition, is not deleted either.
    ASSERT_TRUE(SetFileAttributesW(Path("d/sub/x/f"), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(disk.RemoveTree(Path("d")));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_ACCESS_DENIED, Path("d/sub/x/f")));
    SetFileAttributesW(Path("d/sub/x/f"), FILE_ATTRIBUTE_NORMAL);
#endif
    EXPECT_TRUE(disk.RemoveTree(Path("d")));
    EXPECT_EQ(window.texts.back(), Path("d/"));
    EXPECT_EQ(In(""), Names{"t"});
}

// Each new name goes in front of the first entry of the list greater than
// it, searched from the start: equal ones do not stop it. An entry holding a
// NUL is compared as far as the NUL. The order is ordinal: capitals first,
// and a name after every name it begins with.
// Subdirectories are listed depth first. Only symbolic links and junctions
// are links: files kept in a cloud, deduplicated files and other reparse
// points are files and folders to copy. A link to a directory is listed and
// never entered: copies skip it, and removals take the link and never what
// it points at.
TEST_F(DiskTest, ListingsAreOrderedAndNeverFollowLinks) {
    MakeFiles(
        {"Data/c", "Data/B", "Data/a", "Data/a.x", "Data/sub/c/d", "Data/t/f", "outside/keep.txt"});
    const CString nul(TEXT("a\0x"), 3);
    const std::pair<Texts, Texts> cases[] = {
        {{TEXT("a.y")}, {TEXT("B"), TEXT("a"), TEXT("a.x"), TEXT("a.y"), TEXT("c")}},
        {{nul}, {TEXT("B"), nul, TEXT("a"), TEXT("a.x"), TEXT("c")}},
        {{TEXT("b"), TEXT("A"), TEXT("d")},
         {TEXT("B"), TEXT("a"), TEXT("a.x"), TEXT("b"), TEXT("A"), TEXT("c"), TEXT("d")}},
    };
    for (const auto& [before, after] : cases) {
        CStringArray list;
        for (const CString& text : before) {
            list.Add(text);
        }
        EXPECT_TRUE(disk.ListFiles(Path("Data"), list, NamesOnly));
        EXPECT_EQ(ToTexts(list), after);
    }
    // A folder without files, a missing one and a file have none; a filter
    // that matches nothing fails. Each name found is echoed, and a failure.
    window.texts.clear();
    CStringArray list;
    EXPECT_TRUE(disk.ListFilesMatching(TEXT("*.x"), Path("Data"), list, FullPaths));
    for (const char* directory : {"Data/sub", "missing", "Data/c"}) {
        EXPECT_TRUE(disk.ListFilesMatching(TEXT("*.*"), Path(directory), list, FullPaths));
    }
    EXPECT_EQ(ToTexts(list), Texts{Path("Data/a.x")});
    EXPECT_EQ(disk.m_errorText, CString());
    EXPECT_FALSE(disk.ListFilesMatching(TEXT("*.y?z"), Path("Data"), list, NamesOnly));
    const CString failure = SystemError(ERROR_FILE_NOT_FOUND, Path("Data") + TEXT("\\*.y?z"));
    EXPECT_EQ(window.texts, (Texts{Path("Data/a.x"), failure}));

    const std::tuple<DWORD, DWORD, bool> reparsePoints[] = {
        {FILE_ATTRIBUTE_REPARSE_POINT, IO_REPARSE_TAG_SYMLINK, true},
        {FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY, IO_REPARSE_TAG_MOUNT_POINT, true},
        // A folder kept in a cloud, and a deduplicated file.
        {FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY, 0x9000601Au, false},
        {FILE_ATTRIBUTE_REPARSE_POINT, 0x80000013u, false},
        {FILE_ATTRIBUTE_NORMAL, IO_REPARSE_TAG_SYMLINK, false},
    };
    for (const auto& [attributes, tag, link] : reparsePoints) {
        WIN32_FIND_DATAW entry = {};
        entry.dwFileAttributes = attributes;
        entry.dwReserved0 = tag;
        EXPECT_EQ(FileSearch::IsLinkEntry(entry), link) << attributes << " " << tag;
    }
    const bool links = MakeLink(FsPath("outside"), FsPath("Data/t/link"));
    // What the list held is named relative to the folder too.
    list.SetAt(0, Path("Data/"));
    window.texts.clear();
    EXPECT_TRUE(disk.ListSubdirectories(Path("Data"), list, NamesOnly));
    Texts expected = {CString(), TEXT("sub"), TEXT("sub\\c"), TEXT("t"), TEXT("t\\link")};
    expected.resize(links ? 5 : 4);
    EXPECT_EQ(ToTexts(list), expected);
    // Each is shown by its name as it is found.
    const Texts shown = {TEXT("sub"), TEXT("c"), TEXT("t"), TEXT("link")};
    EXPECT_EQ(window.texts, Texts(shown.begin(), shown.begin() + expected.size() - 1));
    if (!links) {
        GTEST_SKIP() << "this system makes no directory links";
    }
    EXPECT_TRUE(disk.CopyTree(Path("Data"), Path("copy"), TRUE));
    EXPECT_EQ(In("copy/t"), Names{"f"});
    EXPECT_TRUE(disk.RemoveTree(Path("Data/t/link")));
    MakeLink(FsPath("outside"), FsPath("Data/t/link"));
    EXPECT_TRUE(disk.RemoveTree(Path("Data")));
    EXPECT_EQ(In("outside"), Names{"keep.txt"});
}

// A search that cannot start, or breaks off, has not listed the directory:
// treating it as complete would report a partial copy as done, or remove
// what was never listed. A subdirectory that cannot be searched ends a walk.
TEST_F(DiskTest, SearchesThatFailAreNeverTakenAsDone) {
    SKIP_WITHOUT_FAULT_SEAM();
    MakeFiles({"src/a.txt", "src/b.txt", "src/sub/c.txt"});
    const std::tuple<Fault, const char*, bool> cases[] = {
        {{Call::Search, Failure::IoError, "src"}, "src", false},
        {{Call::SearchNext, Failure::IoError, nullptr, 1}, "src", false},
        {{Call::Search, Failure::AccessDenied, "src/sub"}, "src/sub", true},
    };
    for (const auto& [fault, failing, filesListed] : cases) {
        SCOPED_TRACE(failing);
        InjectFault(fault);
        CStringArray list;
        EXPECT_EQ(disk.ListFiles(Path("src"), list, NamesOnly), filesListed);
        EXPECT_EQ(list.GetSize(), filesListed ? 2 : 0);
        const CString failure =
            SystemError(ErrorCodeOf(fault.failure), Path(failing) + TEXT("\\*.*"));
        EXPECT_EQ(disk.m_errorText, filesListed ? CString() : failure);
        // Each walk fails, and tells why, meeting the fault as the listing did.
        const std::function<BOOL()> walks[] = {
            [&] { return disk.ListSubdirectories(Path("src"), list, FullPaths); },
            [&] { return disk.CopyTree(Path("src"), Path("dst"), TRUE); },
            [&] { return disk.RemoveTree(Path("src")); },
        };
        for (const auto& walk : walks) {
            InjectFault(fault);
            EXPECT_FALSE(walk());
            EXPECT_EQ(disk.m_errorText, failure);
        }
        EXPECT_EQ(In("src"), (Names{"a.txt", "b.txt", "sub"}));
        EXPECT_EQ(disk.EmptyDirectory(Path("src")), filesListed);
        ClearFault();
    }
}

}  // namespace
