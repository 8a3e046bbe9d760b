// Removing files, directories and trees; empty paths; directory links.
#include "tests/disk/DiskTest.h"
#include "tests/support/Obstacles.h"

namespace {

TEST_F(DiskTest, EmptyAndInvalidPathsAreRejected) {
    const CString some = Path();
    for (const CString& bad : {CString(), CString(TEXT("C:\\a*b"))}) {
        SCOPED_TRACE(::testing::PrintToString(bad));
        window.texts.clear();
        const BOOL results[] = {
            disk.CopyFiles(bad, some, TRUE),
            disk.CopyFiles(some, bad, TRUE),
            disk.CopyTree(bad, some, TRUE),
            disk.CopyTree(some, bad, TRUE),
            disk.CreateDirectoryChain(bad),
            disk.RemoveFile(bad),
            disk.EmptyDirectory(bad),
            disk.RemoveDirectory(bad),
            disk.RemoveTree(bad),
        };
        for (const BOOL result : results) {
            EXPECT_FALSE(result);
        }
        EXPECT_EQ(disk.m_errorText, kInternalError);
        EXPECT_EQ(window.texts, Texts(sizeof(results) / sizeof(results[0]), kInternalError));
    }
}

TEST_F(DiskTest, RemoveFileDeletesOneFile) {
    MakeFile("a.txt");
    EXPECT_TRUE(disk.RemoveFile(TEXT("a.txt")));
    EXPECT_FALSE(Exists("a.txt"));

    EXPECT_FALSE(disk.RemoveFile(TEXT("a.txt")));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_FILE_NOT_FOUND, Path("a.txt")));
}

TEST_F(DiskTest, EmptyDirectoryDeletesFilesAndLeavesFolders) {
    MakeFile("d/a.txt");
    MakeFile("d/.hidden");
    MakeFile("d/sub/inner.txt");
    EXPECT_TRUE(disk.EmptyDirectory(Path("d")));
    EXPECT_FALSE(Exists("d/a.txt"));
    EXPECT_FALSE(Exists("d/.hidden"));
    EXPECT_TRUE(Exists("d/sub/inner.txt"));
}

TEST_F(DiskTest, RemoveDirectoryFailsOnASubdirectoryAfterDeletingFiles) {
    MakeFile("d/a.txt");
    MakeFolder("d/sub");
    EXPECT_FALSE(disk.RemoveDirectory(Path("d")));
    EXPECT_FALSE(Exists("d/a.txt"));
    EXPECT_TRUE(Exists("d/sub"));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_DIR_NOT_EMPTY, Path("d/")));
}

TEST_F(DiskTest, RemoveTreeRemovesEverythingDeepestFirst) {
    MakeFile("t/a/b/c/deep.txt");
    MakeFile("t/a/file.txt");
    MakeFolder("t/x");
    EXPECT_TRUE(disk.RemoveTree(Path("t")));
    EXPECT_FALSE(Exists("t"));
    EXPECT_EQ(disk.m_errorText, CString());
    EXPECT_EQ(window.texts.back(), Path("t/"));

    MakeFile("flat/a.txt");
    EXPECT_TRUE(disk.RemoveTree(Path("flat")));
    EXPECT_FALSE(Exists("flat"));

    EXPECT_FALSE(disk.RemoveTree(Path("missing")));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_PATH_NOT_FOUND, Path("missing/*.*")));
}

TEST_F(DiskTest, EmptyingStopsAtAFileThatCannotBeDeleted) {
    for (const char* name : {"d/a.txt", "d/b.txt", "d/c.txt"}) {
        MakeFile(name);
    }
    const UndeletableFile locked(FsPath("d/b.txt"));
    EXPECT_FALSE(disk.RemoveDirectory(Path("d")));
    EXPECT_EQ(disk.m_errorText, SystemError(locked.Error(), Path("d/b.txt")));
    EXPECT_FALSE(Exists("d/a.txt"));
    EXPECT_TRUE(Exists("d/c.txt"));
}

TEST_F(DiskTest, RemovalStopsAtAFileThatCannotBeDeleted) {
    MakeFile("t/a/first.txt");
    MakeFile("t/b/c/locked.txt");
    MakeFile("t/b/c/other.txt");
    MakeFile("t/d/last.txt");
    const UndeletableFile locked(FsPath("t/b/c/locked.txt"));
    const CString failure = SystemError(locked.Error(), Path("t/b/c/locked.txt"));

    EXPECT_FALSE(disk.RemoveFile(Path("t/b/c/locked.txt")));
    EXPECT_EQ(disk.m_errorText, failure);

    EXPECT_FALSE(disk.RemoveTree(Path("t")));
    EXPECT_EQ(disk.m_errorText, failure);
    EXPECT_EQ(window.texts.back(), failure);
    // Listed after b\c and so removed before it: d. Listed before: a, b.
    EXPECT_FALSE(Exists("t/d"));
    EXPECT_TRUE(Exists("t/b/c/locked.txt"));
    EXPECT_TRUE(Exists("t/b/c/other.txt"));
    EXPECT_TRUE(Exists("t/a/first.txt"));
}

}  // namespace
