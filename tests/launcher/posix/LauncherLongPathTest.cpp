// Install folders whose paths Windows programs cannot reach without long-path
// support, but Linux ones can.
#include <gtest/gtest.h>

#include "tests/launcher/LauncherInstall.h"
#include "tests/support/TestStrings.h"

namespace {

// A path cut at 260 characters would name another folder: the launcher must
// find its data folder however long its own path is.
TEST(LauncherRunTest, LongInstallPathIsFollowedToItsEnd) {
    fs::path deep;
    for (int i = 0; i < 24; ++i) {
        deep /= "a-folder-of-some-length";
    }
    LauncherInstall install(deep);
    ASSERT_GT(FromFsPath(install.Launcher()).GetLength(), 2 * MAX_PATH);
    ExpectLaunchFromElsewhere(install);
}

}  // namespace
