// The built launcher applying a staged update before it starts the browser.
#include <chrono>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "tests/launcher/LauncherInstall.h"
#include "tests/support/Obstacles.h"
#include "tests/support/TestStrings.h"

namespace {

class StagedUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(install.Data() / "TavrelPostUpgrade.exe", "post-upgrade");
        WriteFile(install.Data() / "old.dat", "old");
    }

    void Stage(const char* relative, const std::string& bytes) const {
        fs::create_directories((install.Update() / relative).parent_path());
        WriteFile(install.Update() / relative, bytes);
    }

    void RunAndExpectBrowser() const {
        const RunResult run = install.Run({TEXT("page.htm")});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output, "");
        LaunchRecord record;
        ASSERT_TRUE(install.WaitForBrowser(&record));
        EXPECT_EQ(record.arguments, std::vector<CString>{TEXT("page.htm")});
    }

    bool InData(const char* relative) const { return fs::exists(install.Data() / relative); }

    LauncherInstall install;
};

TEST_F(StagedUpdateTest, NestedTreeIsAppliedAndRemoved) {
    const std::string browser = install.StageBrowser();
    Stage("old.dat", "new");
    Stage("locales/de/strings.pak", "de");
    Stage("empty.dat", "");

    RunAndExpectBrowser();
    EXPECT_EQ(ReadFile(install.Data() / "Tavrel.exe"), browser);
    EXPECT_EQ(ReadFile(install.Data() / "old.dat"), "new");
    EXPECT_EQ(ReadFile(install.Data() / "locales/de/strings.pak"), "de");
    EXPECT_EQ(ReadFile(install.Data() / "empty.dat"), "");
    EXPECT_FALSE(InData("update"));
    EXPECT_FALSE(InData("update-applied"));
    EXPECT_FALSE(InData("TavrelPostUpgrade.exe"));
}

// An updater that stages the files it leaves unchanged as hard links of the
// installed ones (cp -al, rsync --link-dest).
TEST_F(StagedUpdateTest, HardLinkedUpdateIsAppliedWithNothingEmptied) {
    fs::create_directories(install.Update());
    const std::string browser = ReadFile(install.Data() / "Tavrel.exe");
    fs::create_hard_link(install.Data() / "Tavrel.exe", install.Update() / "Tavrel.exe");
    fs::create_hard_link(install.Data() / "old.dat", install.Update() / "old.dat");
    Stage("added.dat", "added");

    RunAndExpectBrowser();
    EXPECT_TRUE(ReadFile(install.Data() / "Tavrel.exe") == browser);
    EXPECT_EQ(ReadFile(install.Data() / "old.dat"), "old");
    EXPECT_EQ(ReadFile(install.Data() / "added.dat"), "added");
    EXPECT_FALSE(InData("update"));
}

TEST_F(StagedUpdateTest, StagedPostUpgradeProgramIsCopiedThenDeleted) {
    install.StageBrowser();
    Stage("TavrelPostUpgrade.exe", "staged post-upgrade");
    RunAndExpectBrowser();
    EXPECT_FALSE(InData("TavrelPostUpgrade.exe"));
    EXPECT_FALSE(InData("update"));
}

// What the launcher must leave exactly as it was, modification times too.
TEST_F(StagedUpdateTest, NothingStagedOrNothingApplicableTouchesNothing) {
    const struct {
        const char* name;
        void (*stage)(const LauncherInstall&);
    } cases[] = {
        {"no update folder", [](const LauncherInstall&) {}},
        {"a file named update", [](const LauncherInstall& i) { WriteFile(i.Update(), "x"); }},
        {"no browser program staged",
         [](const LauncherInstall& i) {
             fs::create_directories(i.Update());
             WriteFile(i.Update() / "old.dat", "new");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LauncherInstall other;
        WriteFile(other.Data() / "TavrelPostUpgrade.exe", "post-upgrade");
        c.stage(other);
        const TreeState before = SnapshotTree(other.Data());
        const RunResult run = other.Run({});
        EXPECT_EQ(run.exitCode, 0);
        LaunchRecord record;
        ASSERT_TRUE(other.WaitForBrowser(&record));
        fs::remove(LaunchRecordPath(other.Data()));
        EXPECT_EQ(SnapshotTree(other.Data()), before);
    }
}

TEST_F(StagedUpdateTest, StagedFileThatCannotBeWrittenKeepsTheUpdateStaged) {
    const std::string browser = install.StageBrowser();
    Stage("locked.dat", "new");
    WriteFile(install.Data() / "locked.dat", "old");
    const BusyFile locked(install.Data() / "locked.dat");

    RunAndExpectBrowser();
    EXPECT_EQ(ReadFile(install.Data() / "Tavrel.exe"), browser);
    EXPECT_TRUE(fs::exists(install.Update() / "Tavrel.exe"));
    EXPECT_TRUE(InData("TavrelPostUpgrade.exe"));
}

TEST_F(StagedUpdateTest, BrowserProgramInUseIsWaitedForBriefly) {
    const std::string browser = install.StageBrowser();
    const std::string standIn = ReadFile(install.Data() / "Tavrel.exe");
    Stage("old.dat", "new");

    // In use for the first attempts only.
    auto busy = std::make_unique<BusyFile>(install.Data() / "Tavrel.exe");
    std::thread release([&busy] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        busy.reset();
    });
    const RunResult run = install.Run({});
    release.join();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ReadFile(install.Data() / "Tavrel.exe"), browser);
    EXPECT_EQ(ReadFile(install.Data() / "old.dat"), "new");
    EXPECT_FALSE(InData("update"));
}

TEST_F(StagedUpdateTest, BrowserProgramInUseThroughoutKeepsTheUpdateStaged) {
    install.StageBrowser();
    Stage("old.dat", "new");
    WriteFile(install.Data() / "Tavrel.exe", ReadFile(install.Data() / "Tavrel.exe"));
    const BusyFile busy(install.Data() / "Tavrel.exe");

    const RunResult run = install.Run({});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_GE(run.seconds, 0.08);
    EXPECT_EQ(ReadFile(install.Data() / "old.dat"), "old");
    EXPECT_TRUE(fs::exists(install.Update() / "Tavrel.exe"));
    EXPECT_TRUE(InData("TavrelPostUpgrade.exe"));
}

}  // namespace
