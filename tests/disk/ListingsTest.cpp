// Sorted file listings and depth-first subdirectory listings.
#include <algorithm>

#include "tests/disk/DiskTest.h"

namespace {

CStringArray ArrayOf(const Texts& texts) {
    CStringArray list;
    for (const CString& text : texts) {
        list.Add(text);
    }
    return list;
}

TEST_F(DiskTest, FilesAreListedInOrdinalOrderWithoutDirectories) {
    // The system gives a, B, c; the listing puts capitals first.
    MakeFile("Data/c.txt");
    MakeFile("Data/B.txt");
    MakeFile("Data/a.txt");
    MakeFolder("Data/sub");

    CStringArray names;
    EXPECT_TRUE(disk.ListFiles(Path("Data"), names, NamesOnly));
    const Texts listed = ToTexts(names);
    EXPECT_EQ(listed, (Texts{TEXT("B.txt"), TEXT("a.txt"), TEXT("c.txt")}));
    // Each is echoed as it is found, in the order the system gives them.
    EXPECT_TRUE(std::is_permutation(window.texts.begin(), window.texts.end(), listed.begin(),
                                    listed.end()));

    CString forward = Path("Data");
    forward.Replace(TEXT('\\'), TEXT('/'));
    CStringArray paths;
    EXPECT_TRUE(disk.ListFiles(forward, paths, FullPaths));
    EXPECT_EQ(ToTexts(paths), (Texts{Path("Data/B.txt"), Path("Data/a.txt"), Path("Data/c.txt")}));

    // Only FullPaths gives full paths.
    CStringArray other;
    EXPECT_TRUE(disk.ListFiles(Path("Data"), other, static_cast<ListMode>(2)));
    EXPECT_EQ(ToTexts(other), ToTexts(names));
}

TEST_F(DiskTest, NewFilesGoInFrontOfTheFirstGreaterEntry) {
    MakeFile("Data/a");
    MakeFile("Data/z");
    MakeFile("Other/b");
    MakeFile("Other/m");
    const struct {
        const char* directory;
        Texts before;
        Texts after;
    } cases[] = {
        {"Data", {TEXT("m")}, {TEXT("a"), TEXT("m"), TEXT("z")}},
        {"Data", {TEXT("a")}, {TEXT("a"), TEXT("a"), TEXT("z")}},
        // An unsorted list: the first greater entry is searched from the
        // start, so b and m both land in front of z.
        {"Other", {TEXT("z"), TEXT("a")}, {TEXT("b"), TEXT("m"), TEXT("z"), TEXT("a")}},
        {"Other",
         {TEXT("c"), TEXT("a"), TEXT("n")},
         {TEXT("b"), TEXT("c"), TEXT("a"), TEXT("m"), TEXT("n")}},
    };
    for (const auto& c : cases) {
        CStringArray list = ArrayOf(c.before);
        EXPECT_TRUE(disk.ListFiles(Path(c.directory), list, NamesOnly));
        EXPECT_EQ(ToTexts(list), c.after);
    }
    window.texts.clear();
}

TEST_F(DiskTest, MissingOrEmptyDirectoriesListNothing) {
    MakeFolder("Empty/sub");
    MakeFile("file.txt");
    for (const char* directory : {"Empty", "missing", "file.txt"}) {
        CStringArray list = ArrayOf({TEXT("kept")});
        EXPECT_TRUE(disk.ListFiles(Path(directory), list, NamesOnly)) << directory;
        EXPECT_EQ(ToTexts(list), Texts{TEXT("kept")});
        EXPECT_EQ(disk.m_errorText, CString());
    }
    EXPECT_TRUE(window.texts.empty());
}

TEST_F(DiskTest, FilterThatMatchesNothingFails) {
    MakeFile("Data/a.txt");
    CStringArray list;
    EXPECT_FALSE(disk.ListFilesMatching(TEXT("*.log"), Path("Data"), list, NamesOnly));
    EXPECT_EQ(list.GetSize(), 0);
    const CString expected = SystemError(ERROR_FILE_NOT_FOUND, Path("Data/*.log"));
    EXPECT_EQ(disk.m_errorText, expected);
    EXPECT_EQ(window.texts, Texts{expected});
}

TEST_F(DiskTest, FilterMatchesLikeWindowsWildcards) {
    for (const char* name : {"a.txt", "B.TXT", "noext", "a.txt.bak", "ab.log"}) {
        MakeFile((std::string("Data/") + name).c_str());
    }
    const struct {
        LPCWSTR filter;
        Texts names;
    } cases[] = {
        {TEXT("*.*"),
         {TEXT("B.TXT"), TEXT("a.txt"), TEXT("a.txt.bak"), TEXT("ab.log"), TEXT("noext")}},
        {TEXT("*.txt"), {TEXT("B.TXT"), TEXT("a.txt")}},
        {TEXT("a?.log"), {TEXT("ab.log")}},
        {TEXT("noext.*"), {TEXT("noext")}},
    };
    for (const auto& c : cases) {
        CStringArray list;
        EXPECT_TRUE(disk.ListFilesMatching(c.filter, Path("Data"), list, NamesOnly));
        EXPECT_EQ(ToTexts(list), c.names) << ::testing::PrintToString(CString(c.filter));
    }
}

TEST_F(DiskTest, SubdirectoriesAreListedDepthFirst) {
    MakeFolder("Data/a/x");
    MakeFolder("Data/b");
    MakeFile("Data/a/file.txt");

    CStringArray full;
    EXPECT_TRUE(disk.ListSubdirectories(Path("Data"), full, FullPaths));
    EXPECT_EQ(ToTexts(full), (Texts{Path("Data/a/"), Path("Data/a/x/"), Path("Data/b/")}));
    EXPECT_EQ(window.texts, (Texts{TEXT("a"), TEXT("x"), TEXT("b")}));

    // Relative names are made of every element, those already there too.
    CStringArray names = ArrayOf({Path("Data/")});
    EXPECT_TRUE(disk.ListSubdirectories(Path("Data"), names, NamesOnly));
    EXPECT_EQ(ToTexts(names), (Texts{CString(), TEXT("a"), TEXT("a\\x"), TEXT("b")}));

    CStringArray other;
    EXPECT_TRUE(disk.ListSubdirectories(Path("Data"), other, static_cast<ListMode>(2)));
    EXPECT_EQ(ToTexts(other), ToTexts(full));

    CStringArray none;
    EXPECT_TRUE(disk.ListSubdirectories(Path("Data/b"), none, FullPaths));
    EXPECT_EQ(none.GetSize(), 0);
}

TEST_F(DiskTest, MissingDirectoryFailsTheSubdirectoryListing) {
    CStringArray list;
    EXPECT_FALSE(disk.ListSubdirectories(Path("missing"), list, FullPaths));
    EXPECT_EQ(list.GetSize(), 0);
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_PATH_NOT_FOUND, Path("missing/*.*")));
}

TEST_F(DiskTest, BadDirectoryNamesFailListings) {
    CStringArray list;
    EXPECT_FALSE(disk.ListFiles(TEXT("C:\\a*b"), list, NamesOnly));
    EXPECT_EQ(disk.m_errorText, kInternalError);
    EXPECT_FALSE(disk.ListSubdirectories(TEXT("C:\\a?b"), list, NamesOnly));
    EXPECT_EQ(disk.m_errorText, kInternalError);
    EXPECT_EQ(list.GetSize(), 0);
}

}  // namespace
