// A temporary install: the built launcher in its folder, the stand-in browser
// as TavrelData\Tavrel.exe, and the paths the launcher works out from there.
#pragma once

#include <map>
#include <vector>

#include "launcher/FolderLayout.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/Process.h"

// Each file's hash by its path below a folder; folders left out.
typedef std::map<std::string, size_t> Contents;
Contents ContentsOf(const fs::path& root);

struct Install {
    // In a temporary folder (made under base, when one is given), or in
    // `subfolder` below it.
    explicit Install(const fs::path& subfolder = fs::path(), const fs::path& base = fs::path());

    // Stages a new browser program: the stand-in browser with bytes of its
    // own behind it, so that it still runs and can be told from the old one.
    // Gives its bytes.
    std::string StageBrowser() const;
    void Stage(const fs::path& relative, const std::string& bytes) const;
    // What applying the staged update must make of the data folder: the
    // update's files over the rest, without the post-upgrade program.
    Contents Applied() const;
    // The data folder's files outside the update.
    Contents Installed() const;

    // Starts the launcher in `directory`.
    RunResult Run(const std::vector<CString>& arguments, const fs::path& directory) const;
    LaunchRecord WaitForBrowser() const;

    TempDir temp;
    fs::path root;
    fs::path launcher;
    fs::path data;
    fs::path update;
    FolderLayout layout;
};
