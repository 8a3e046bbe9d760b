// Where the browser and its files live, all worked out from the launcher's
// own folder. Every folder ends with a backslash.
#pragma once

#include "platform/String.h"

struct FolderLayout {
    explicit FolderLayout(const CString& launcherDirectory);

    CString launcherDirectory;
    CString dataFolder;
    CString updateFolder;
    // Where an applied update goes, in one rename, before it is removed.
    CString appliedUpdateFolder;
    // Held by whoever applies or writes an update (see UpdateLock.h).
    CString updateLock;
    CString browserProgram;
    CString stagedBrowserProgram;
    CString postUpgradeProgram;
};

// The running executable's folder, up to and including its last backslash;
// empty when the path cannot be had or has no backslash.
CString GetModuleDirectory();

// TRUE when a file, folder or link is at path (a link is there whatever it
// points at). One trailing backslash is ignored, so a folder may be named
// either way. Its last name is read as a search pattern, which none of the
// layout's names is.
BOOL PathExists(const CString& path);
