// The built launcher on a small file system of its own, filled up: an update
// that does not fit replaces nothing, and the browser starts.
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/launcher/LauncherInstall.h"

namespace {

// Where the small_disk test mounted a small file system, or empty where it
// could not (mounting takes root).
fs::path SmallDisk() {
    const char* folder = std::getenv("TAVREL_SMALL_DISK");
    std::error_code error;
    if (folder == nullptr || fs::space(folder, error).capacity > (uintmax_t(256) << 20) || error) {
        return fs::path();
    }
    return folder;
}

bool HasTemporaries(const std::map<std::string, uint64_t>& files) {
    for (const auto& file : files) {
        if (file.first.find(".tavrel-") != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(FullDiskTest, AnUpdateThatDoesNotFitReplacesNothing) {
    const fs::path disk = SmallDisk();
    if (disk.empty()) {
        GTEST_SKIP() << "no small file system mounted here (this needs root)";
    }
    for (const bool browserFits : {false, true}) {
        SCOPED_TRACE(browserFits ? "the browser program fits, the rest does not"
                                 : "the browser program does not fit");
        LauncherInstall install(fs::path(), disk);
        const std::string browser = install.StageBrowser();
        // Room for half the browser program, or for it and half the rest.
        uintmax_t room = browser.size() / 2;
        if (browserFits) {
            WriteFile(install.Update() / "big.dat", std::string(browser.size(), 'b'));
            room += browser.size();
        }
        const fs::path filler = disk / "filler";
        WriteFile(filler, std::string(fs::space(disk).available - room, 'f'));
        const auto before = install.DataFiles();

        EXPECT_EQ(install.Run({}).exitCode, 0);
        LaunchRecord record;
        EXPECT_TRUE(install.WaitForBrowser(&record));
        fs::remove(LaunchRecordPath(install.Data()));
        EXPECT_EQ(install.DataFiles(), before);

        fs::remove(filler);
        EXPECT_EQ(install.Run({}).exitCode, 0);
        EXPECT_TRUE(install.WaitForBrowser(&record));
        EXPECT_TRUE(ReadFile(install.Data() / "Tavrel.exe") == browser);
        EXPECT_FALSE(fs::exists(install.Update()));
        EXPECT_FALSE(HasTemporaries(install.DataFiles()));
    }
}

}  // namespace
