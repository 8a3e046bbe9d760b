// A temporary install of the built launcher, with the stand-in browser as
// its TavrelData\Tavrel.exe.
#pragma once

#include <map>
#include <vector>

#include "tests/support/LaunchRecord.h"
#include "tests/support/Process.h"

class LauncherInstall {
public:
    // The install folder is a temporary folder, or `subfolder` below one;
    // the temporary folder is made under base, when one is given.
    explicit LauncherInstall(const fs::path& subfolder = fs::path(),
                             const fs::path& base = fs::path());

    const fs::path& Launcher() const { return launcher_; }
    const fs::path& Data() const { return dataFolder_; }
    fs::path Update() const { return dataFolder_ / "update"; }
    // The data folder as the browser sees its working directory.
    CString DataFolder() const;
    void RemoveBrowser();

    // Stages a new browser program: the stand-in browser with bytes of its
    // own behind it, so that it still runs and can be told from the old one.
    // Gives its bytes.
    std::string StageBrowser() const;
    // The files and their bytes' hashes (folders left out) below the data
    // folder, but the launch record.
    std::map<std::string, uint64_t> DataFiles() const;

    // Runs the launcher in the install folder, or in `directory`.
    RunResult Run(const std::vector<CString>& arguments) const;
    RunResult Run(const std::vector<CString>& arguments, const fs::path& directory) const;
    // Starts the launcher in the install folder, without arguments, and
    // leaves it running.
    StartedProgram Start() const;

    bool WaitForBrowser(LaunchRecord* record) const;

private:
    TempDir temp_;
    fs::path root_;
    fs::path launcher_;
    fs::path dataFolder_;
};

// Starts the launcher of `install` from another folder, with one document
// argument, and expects that install's browser to get it, working in its
// data folder.
void ExpectLaunchFromElsewhere(const LauncherInstall& install);
