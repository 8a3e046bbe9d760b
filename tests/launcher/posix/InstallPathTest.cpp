// Install folders and staged names that Linux allows and Windows does not:
// paths longer than Windows programs reach, and names that hold characters a
// Windows name cannot (a backslash among them). Each name stays one name.
#include <string>

#include <gtest/gtest.h>

#include "tests/launcher/LauncherInstall.h"
#include "tests/support/TestStrings.h"

namespace {

// A path cut at 260 characters would name another folder: the launcher must
// find its data folder however long its own path is.
TEST(InstallPathTest, LongInstallPathIsFollowedToItsEnd) {
    fs::path deep;
    for (int i = 0; i < 24; ++i) {
        deep /= "a-folder-of-some-length";
    }
    LauncherInstall install(deep);
    ASSERT_GT(FromFsPath(install.Launcher()).GetLength(), 2 * MAX_PATH);
    ExpectLaunchFromElsewhere(install);
}

// Read as a path, in\st would be the folder st in the folder in, where a
// stranger's program waits; the wildcards would stop every update.
TEST(InstallPathTest, InstallFolderNameIsOneName) {
    LauncherInstall install("in\\st*?");
    const fs::path decoy = install.Launcher().parent_path().parent_path() / "in" / "st*?";
    fs::create_directories(decoy / "TavrelData");
    fs::copy_file(install.Data() / "Tavrel.exe", decoy / "TavrelData" / "Tavrel.exe");
    const std::string browser = install.StageBrowser();

    ExpectLaunchFromElsewhere(install);
    EXPECT_EQ(ReadFile(install.Data() / "Tavrel.exe"), browser);
    EXPECT_FALSE(fs::exists(install.Update()));
    EXPECT_FALSE(fs::exists(LaunchRecordPath(decoy / "TavrelData")));
}

// Backslashes that would climb out of the data folder, a name beside the
// browser program, and every character a Windows name cannot hold: each is
// an ordinary name of the update, applied in place, and nothing outside the
// data folder is read, written or removed.
TEST(InstallPathTest, StagedNamesAreAppliedAsTheyAre) {
    TempDir outside;
    WriteFile(outside.path() / "victim.txt", "victim");
    std::string climb;
    for (int i = 0; i < 24; ++i) {
        climb += "..\\";
    }
    std::string outsideFolder = outside.path().string().substr(1);
    for (char& c : outsideFolder) {
        c = c == '/' ? '\\' : c;
    }

    LauncherInstall install;
    const std::string browser = install.StageBrowser();
    const std::string staged[] = {
        climb + outsideFolder + "\\victim.txt",
        climb + outsideFolder + "/victim.txt",
        "..\\Tavrel.exe",
        "a:b/c.txt",
        "x*y?.txt",
        "q\"<>|.txt",
    };
    for (const std::string& name : staged) {
        fs::create_directories((install.Update() / name).parent_path());
        WriteFile(install.Update() / name, "new " + name);
    }

    const RunResult run = install.Run({TEXT("page.htm")});
    EXPECT_EQ(run.exitCode, 0);
    LaunchRecord record;
    ASSERT_TRUE(install.WaitForBrowser(&record));
    EXPECT_EQ(ReadFile(install.Data() / "Tavrel.exe"), browser);
    for (const std::string& name : staged) {
        EXPECT_EQ(ReadFile(install.Data() / name), "new " + name) << name;
    }
    EXPECT_FALSE(fs::exists(install.Update()));
    EXPECT_EQ(ReadFile(outside.path() / "victim.txt"), "victim");
    EXPECT_FALSE(fs::exists(install.Launcher().parent_path() / "Tavrel.exe"));
}

}  // namespace
