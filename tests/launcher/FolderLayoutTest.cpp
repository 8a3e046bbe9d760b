#include "launcher/FolderLayout.h"

#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"
#include "tests/support/TestStrings.h"

namespace {

TEST(FolderLayoutTest, EverythingLiesBelowTheLauncherDirectory) {
    const FolderLayout layout(TEXT("C:\\B\\"));
    EXPECT_EQ(layout.dataFolder, CString(TEXT("C:\\B\\TavrelData\\")));
    EXPECT_EQ(layout.updateFolder, CString(TEXT("C:\\B\\TavrelData\\update\\")));
    EXPECT_EQ(layout.browserProgram, CString(TEXT("C:\\B\\TavrelData\\Tavrel.exe")));
    EXPECT_EQ(layout.stagedBrowserProgram, CString(TEXT("C:\\B\\TavrelData\\update\\Tavrel.exe")));
    EXPECT_EQ(layout.postUpgradeProgram, CString(TEXT("C:\\B\\TavrelData\\TavrelPostUpgrade.exe")));
}

TEST(FolderLayoutTest, ModuleDirectoryIsTheRunningProgramsFolder) {
    const CString expected = FromFsPath(ProgramDirectory()) + TEXT('\\');
    EXPECT_EQ(GetModuleDirectory(), expected);
}

TEST(FolderLayoutTest, PathExistsForFilesAndFolders) {
    TempDir temp;
    fs::create_directory(temp.path() / "update");
    WriteFile(temp.path() / "file.txt", "x");
    const CString base = FromFsPath(temp.path()) + TEXT('\\');
    const struct {
        CString path;
        BOOL exists;
    } cases[] = {
        {base + TEXT("update"), TRUE},     {base + TEXT("update\\"), TRUE},
        {base + TEXT("file.txt"), TRUE},   {base + TEXT("missing"), FALSE},
        {base + TEXT("missing\\"), FALSE}, {base + TEXT("upd*"), FALSE},
        {base + TEXT("file.tx?"), FALSE},  {TEXT(""), FALSE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PathExists(c.path), c.exists) << ::testing::PrintToString(c.path);
    }
}

}  // namespace
