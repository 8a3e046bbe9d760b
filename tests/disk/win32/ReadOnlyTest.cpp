// A read-only file, a real Windows condition: deleting it fails.
#include "tests/disk/DiskTest.h"

namespace {

TEST_F(DiskTest, ReadOnlyFileIsNotDeleted) {
    MakeFiles({"d/a.txt", "d/ro.txt", "d/z.txt"});
    ASSERT_TRUE(SetFileAttributesW(Path("d/ro.txt"), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(disk.RemoveTree(Path("d")));
    EXPECT_EQ(disk.m_errorText, SystemError(ERROR_ACCESS_DENIED, Path("d/ro.txt")));
    EXPECT_EQ(In("d"), (Names{"ro.txt", "z.txt"}));
    SetFileAttributesW(Path("d/ro.txt"), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
