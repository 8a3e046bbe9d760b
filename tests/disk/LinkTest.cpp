// A link inside a tree to a directory outside it: walks list it without
// entering it, copies skip it, and removals take the link and never what it
// points at.
#include "disk/FileSearch.h"
#include "tests/disk/DiskTest.h"
#include "tests/support/Obstacles.h"

namespace {

class LinkTest : public DiskTest {
protected:
    void SetUp() override {
        DiskTest::SetUp();
        MakeFile("outside/keep.txt");
        MakeFile("outside/sub/keep.txt");
        MakeFile("tree/own.txt");
        MakeFolder("tree/real");
        if (!MakeDirectoryLink(FsPath("outside"), FsPath("tree/link"))) {
            GTEST_SKIP() << "this system makes no directory links";
        }
    }

    void ExpectOutsideUntouched() {
        EXPECT_TRUE(Exists("outside/keep.txt"));
        EXPECT_TRUE(Exists("outside/sub/keep.txt"));
    }
};

TEST_F(LinkTest, WalkListsTheLinkWithoutEnteringIt) {
    CStringArray list;
    EXPECT_TRUE(disk.ListSubdirectories(Path("tree"), list, NamesOnly));
    EXPECT_EQ(ToTexts(list), (Texts{TEXT("link"), TEXT("real")}));
}

TEST_F(LinkTest, CopyTreeMakesNothingForTheLink) {
    EXPECT_TRUE(disk.CopyTree(Path("tree"), Path("copy"), TRUE));
    EXPECT_TRUE(Exists("copy/own.txt"));
    EXPECT_TRUE(Exists("copy/real"));
    EXPECT_FALSE(Exists("copy/link"));
    ExpectOutsideUntouched();
}

TEST_F(LinkTest, RemovalsTakeTheLinkOnly) {
    const struct {
        const char* name;
        BOOL (CDiskObject::*remove)(const CString&);
        const char* path;
        const char* gone;
    } cases[] = {
        {"RemoveDirectory of the link", &CDiskObject::RemoveDirectory, "tree/link", "tree/link"},
        {"RemoveTree of the link", &CDiskObject::RemoveTree, "tree/link", "tree/link"},
        {"RemoveTree of the tree", &CDiskObject::RemoveTree, "tree", "tree"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MakeDirectoryLink(FsPath("outside"), FsPath("tree/link"));
        EXPECT_TRUE((disk.*c.remove)(Path(c.path))) << ::testing::PrintToString(disk.m_errorText);
        EXPECT_FALSE(Exists(c.gone));
        ExpectOutsideUntouched();
        MakeFolder("tree/real");
    }
}

// Files kept in a cloud, deduplicated files and other reparse points are
// files and folders to copy; only symbolic links and junctions point away.
TEST(FileSearchTest, OnlySymbolicLinksAndJunctionsAreLinks) {
    const struct {
        DWORD attributes;
        DWORD tag;
        bool link;
    } cases[] = {
        {FILE_ATTRIBUTE_REPARSE_POINT, IO_REPARSE_TAG_SYMLINK, true},
        {FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY, IO_REPARSE_TAG_MOUNT_POINT, true},
        // A folder kept in a cloud, and a deduplicated file.
        {FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY, 0x9000601Au, false},
        {FILE_ATTRIBUTE_REPARSE_POINT, 0x80000013u, false},
        {FILE_ATTRIBUTE_NORMAL, IO_REPARSE_TAG_SYMLINK, false},
    };
    for (const auto& c : cases) {
        WIN32_FIND_DATAW entry = {};
        entry.dwFileAttributes = c.attributes;
        entry.dwReserved0 = c.tag;
        EXPECT_EQ(FileSearch::IsLinkEntry(entry), c.link)
            << std::hex << c.attributes << " " << c.tag;
    }
}

}  // namespace
