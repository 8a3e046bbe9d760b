// Install folders whose paths Windows programs cannot reach without long-path
// support, but Linux ones can.
#include <gtest/gtest.h>

#include "tests/launcher/LauncherInstall.h"
#include "tests/support/TestStrings.h"

namespace {

typedef std::vector<CString> Arguments;

// A path cut at 260 characters would name another folder: the launcher must
// find its data folder however long its own path is.
TEST(LauncherRunTest, LongInstallPathIsFollowedToItsEnd) {
    fs::path deep;
    for (int i = 0; i < 24; ++i) {
        deep /= "a-folder-of-some-length";
    }
    LauncherInstall install(deep);
    ASSERT_GT(FromFsPath(install.Launcher()).GetLength(), 2 * MAX_PATH);
    TempDir elsewhere;
    const RunResult run = install.Run({TEXT("page.htm")}, elsewhere.path());
    EXPECT_EQ(run.exitCode, 0);
    LaunchRecord record;
    ASSERT_TRUE(install.WaitForBrowser(&record));
    EXPECT_EQ(record.directory, install.DataFolder());
    EXPECT_EQ(record.arguments, Arguments{TEXT("page.htm")});
}

}  // namespace
