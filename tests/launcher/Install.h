// A temporary install: the built launcher in its folder, the stand-in browser
// as TavrelData\Tavrel.exe, and the paths the launcher works out from there.
#pragma once

#include <map>
#include <vector>

#include "launcher/FolderLayout.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/Process.h"

// Contents without the files kept under names of the temporaries' kind,
// which a start leaves for the next to finish or undo.
Contents WithoutTemporaries(Contents contents);

struct Install {
    // In a temporary folder (made under base, when one is given), or in
    // `subfolder` below it.
    explicit Install(const fs::path& subfolder = fs::path(), const fs::path& base = fs::path());

    // Stages a new browser program: the stand-in browser with bytes of its
    // own behind it, so that it still runs and can be told from the old one.
    // Gives its bytes.
    std::string StageBrowser() const;
    void Stage(const fs::path& relative, const std::string& bytes) const;
    // The data folder's files outside the update folders (and the lock).
    Contents Installed() const;
    static Contents OutsideUpdate(Contents contents);
    // What applying the staged update must make of the data folder: the
    // update's files over the rest, without the post-upgrade program (and
    // without what the update holds under the launcher's own names).
    Contents Applied() const;
    // Expects the data folder to hold `applied` and no update any more.
    void ExpectUpdateApplied(const Contents& applied) const;

    // The stand-in browser's working directory and command tail, once it has
    // started (it runs detached from the launcher), and its record taken
    // away; empty when it has not within `seconds`.
    std::vector<CString> WaitForBrowser(int seconds) const;

    TempDir temp;
    fs::path root;
    fs::path launcher;
    fs::path data;
    fs::path update;
    fs::path applied;
    FolderLayout layout;
};
