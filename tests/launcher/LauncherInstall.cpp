#include "tests/launcher/LauncherInstall.h"

#include <gtest/gtest.h>

#include "tests/support/TestStrings.h"

namespace {

// Wine can take a while to start a program when its server is cold.
const int kBrowserStartSeconds = 60;

}  // namespace

LauncherInstall::LauncherInstall(const fs::path& subfolder, const fs::path& base)
    : temp_(base),
      root_(temp_.path() / subfolder),
      launcher_(root_ / LAUNCHER_FILE),
      dataFolder_(root_ / "TavrelData") {
    fs::create_directories(root_);
    fs::copy_file(ProgramDirectory() / LAUNCHER_FILE, launcher_);
    fs::create_directory(dataFolder_);
    fs::copy_file(ProgramDirectory() / STANDIN_BROWSER_FILE, dataFolder_ / "Tavrel.exe");
}

CString LauncherInstall::DataFolder() const {
    return FromFsPath(dataFolder_);
}

void LauncherInstall::RemoveBrowser() {
    fs::remove(dataFolder_ / "Tavrel.exe");
}

std::string LauncherInstall::StageBrowser() const {
    std::string program = ReadFile(dataFolder_ / "Tavrel.exe") + "new";
    fs::create_directories(Update());
    WriteFile(Update() / "Tavrel.exe", program);
    fs::permissions(Update() / "Tavrel.exe", fs::status(dataFolder_ / "Tavrel.exe").permissions());
    return program;
}

std::map<std::string, uint64_t> LauncherInstall::DataFiles() const {
    std::map<std::string, uint64_t> files;
    for (const auto& [name, state] : SnapshotTree(dataFolder_)) {
        if (name.back() != '/' && name != LaunchRecordPath("").filename().string()) {
            files[name] = state.hash;
        }
    }
    return files;
}

RunResult LauncherInstall::Run(const std::vector<CString>& arguments) const {
    return Run(arguments, root_);
}

RunResult LauncherInstall::Run(const std::vector<CString>& arguments,
                               const fs::path& directory) const {
    return RunProgram(launcher_, arguments, directory);
}

StartedProgram LauncherInstall::Start() const {
    return StartedProgram(launcher_, {}, root_);
}

bool LauncherInstall::WaitForBrowser(LaunchRecord* record) const {
    return WaitForLaunchRecord(LaunchRecordPath(dataFolder_), kBrowserStartSeconds, record);
}

void ExpectLaunchFromElsewhere(const LauncherInstall& install) {
    TempDir elsewhere;
    const RunResult run = install.Run({TEXT("page.htm")}, elsewhere.path());
    EXPECT_EQ(run.exitCode, 0);
    LaunchRecord record;
    ASSERT_TRUE(install.WaitForBrowser(&record));
    EXPECT_EQ(record.directory, install.DataFolder());
    EXPECT_EQ(record.arguments, std::vector<CString>{TEXT("page.htm")});
}
