// A read-only file, a real Windows condition: deleting it fails.
#include "tests/disk/DiskTest.h"

namespace {

TEST_F(DiskTest, ReadOnlyFileIsNotDeleted) {
    MakeFile("d/a.txt");
    MakeFile("d/ro.txt");
    MakeFile("d/z.txt");
    ASSERT_TRUE(SetFileAttributesW(Path("d/ro.txt"), FILE_ATTRIBUTE_READONLY));
    const CString failure = SystemError(ERROR_ACCESS_DENIED, Path("d/ro.txt"));

    EXPECT_FALSE(disk.RemoveFile(Path("d/ro.txt")));
    EXPECT_EQ(disk.m_errorText, failure);

    EXPECT_FALSE(disk.RemoveTree(Path("d")));
    EXPECT_EQ(disk.m_errorText, failure);
    EXPECT_FALSE(Exists("d/a.txt"));
    EXPECT_TRUE(Exists("d/ro.txt"));
    EXPECT_TRUE(Exists("d/z.txt"));
    SetFileAttributesW(Path("d/ro.txt"), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
