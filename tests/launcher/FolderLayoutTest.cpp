#include "launcher/FolderLayout.h"

#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"

namespace {

// One trailing backslash is ignored; a wildcard never matches.
TEST(FolderLayoutTest, PathExistsForFilesAndFolders) {
    TempDir temp;
    fs::create_directory(temp.path() / "update");
    WriteFile(temp.path() / "file.txt", "x");
    const CString base = FromFsPath(temp.path()) + TEXT('\\');
    const struct {
        CString path;
        BOOL exists;
    } cases[] = {
        {base + TEXT("update\\"), TRUE},
        {base + TEXT("file.txt\\"), TRUE},
        {base + TEXT("missing"), FALSE},
        {base + TEXT("upd*"), FALSE},
        {TEXT(""), FALSE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PathExists(c.path), c.exists) << ::testing::PrintToString(c.path);
    }
}

}  // namespace
