// Failures that Linux has no real condition for (the tests run as root), made
// through the platform layer's fault seam.
#include "platform/posix/FaultInjection.h"
#include "tests/disk/DiskTest.h"

namespace {

class FaultTest : public DiskTest {
protected:
    void TearDown() override {
        ClearFault();
        DiskTest::TearDown();
    }
};

// A search that breaks off after its first entry has not listed the
// directory: treating it as complete would report a partial copy as done.
TEST_F(FaultTest, SearchThatBreaksOffFailsTheListing) {
    MakeFile("src/a.txt");
    MakeFile("src/b.txt");
    MakeFile("src/sub/c.txt");
    const CString pattern = Path("src/*.*");
    InjectFault({FaultPoint::FindNextFile, ERROR_IO_DEVICE, u"src\\*.*", 1});

    CStringArray list;
    list.Add(TEXT("kept"));
    EXPECT_FALSE(disk.ListFiles(Path("src"), list, NamesOnly));
    EXPECT_EQ(ToTexts(list), Texts{TEXT("kept")});
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_IO_DEVICE, pattern));

    EXPECT_FALSE(disk.ListSubdirectories(Path("src"), list, FullPaths));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_IO_DEVICE, pattern));

    EXPECT_FALSE(disk.CopyTree(Path("src"), Path("dst"), TRUE));
    EXPECT_FALSE(Exists("dst"));
}

TEST_F(FaultTest, SubdirectoryThatCannotBeSearchedEndsTheWalk) {
    MakeFolder("Data/a/x");
    MakeFolder("Data/b");
    InjectFault({FaultPoint::FindFirstFile, ERROR_ACCESS_DENIED, u"a\\x\\*.*"});

    CStringArray list;
    EXPECT_FALSE(disk.ListSubdirectories(Path("Data"), list, FullPaths));
    EXPECT_EQ(ToTexts(list), (Texts{Path("Data/a/"), Path("Data/a/x/")}));
    const CString failure = SystemError(ERROR_ACCESS_DENIED, Path("Data/a/x/*.*"));
    EXPECT_EQ(disk.m_errorText, failure);
    EXPECT_EQ(window.texts, (Texts{TEXT("a"), TEXT("x"), failure}));

    // Nothing is removed from a tree that could not be listed whole.
    EXPECT_FALSE(disk.RemoveTree(Path("Data")));
    EXPECT_TRUE(Exists("Data/b"));
}

TEST_F(FaultTest, DirectoryThatCannotBeListedIsLeftAlone) {
    MakeFile("src/a.txt");
    InjectFault({FaultPoint::FindFirstFile, ERROR_ACCESS_DENIED, u"src\\*.*"});
    const CString failure = SystemError(ERROR_ACCESS_DENIED, Path("src/*.*"));

    EXPECT_FALSE(disk.CopyFiles(Path("src"), Path("dst"), TRUE));
    EXPECT_EQ(disk.m_errorText, failure);
    EXPECT_FALSE(Exists("dst"));

    EXPECT_FALSE(disk.EmptyDirectory(Path("src")));
    EXPECT_EQ(disk.m_errorText, failure);
    EXPECT_TRUE(Exists("src/a.txt"));
}

TEST_F(FaultTest, FolderThatCannotBeRemovedIsReported) {
    MakeFile("t/a.txt");
    InjectFault({FaultPoint::RemoveDirectory, ERROR_ACCESS_DENIED, u"t\\"});
    EXPECT_FALSE(disk.RemoveTree(Path("t")));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_ACCESS_DENIED, Path("t/")));
    EXPECT_FALSE(Exists("t/a.txt"));
    EXPECT_TRUE(Exists("t"));
}

}  // namespace
