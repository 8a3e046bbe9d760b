#include "launcher/StagedUpdate.h"

#include "disk/DiskObject.h"

namespace {

const int kCopyAttempts = 8;
const DWORD kPauseMilliseconds = 10;

// The browser program goes first and alone: it may be in use for a moment.
bool ReplaceBrowserProgram(const FolderLayout& layout) {
    for (int attempt = 0; attempt < kCopyAttempts; ++attempt) {
        if (CopyFileW(layout.stagedBrowserProgram, layout.browserProgram, FALSE)) {
            return true;
        }
        Sleep(kPauseMilliseconds);
    }
    return false;
}

CString WithoutTrailingBackslash(const CString& folder) {
    return folder.Left(folder.GetLength() - 1);
}

void RemoveAppliedUpdate(CDiskObject& disk, const FolderLayout& layout) {
    disk.RemoveFile(layout.postUpgradeProgram);
    disk.RemoveTree(layout.appliedUpdateFolder);
}

}  // namespace

void ApplyStagedUpdate(const FolderLayout& layout) {
    CDiskObject disk;
    // A start cut off while it removed an applied update left it behind.
    if (PathExists(layout.appliedUpdateFolder)) {
        RemoveAppliedUpdate(disk, layout);
    }
    if (!PathExists(layout.updateFolder) || !ReplaceBrowserProgram(layout) ||
        !disk.CopyTree(layout.updateFolder, layout.dataFolder, TRUE)) {
        return;
    }
    // Renamed in one step, the applied update is never taken for a staged
    // one again, however its removal is cut off: a partly removed update
    // folder would lack its browser program and stay staged for good.
    if (MoveFileW(WithoutTrailingBackslash(layout.updateFolder),
                  WithoutTrailingBackslash(layout.appliedUpdateFolder))) {
        RemoveAppliedUpdate(disk, layout);
    } else {
        disk.RemoveTree(layout.updateFolder);
        disk.RemoveFile(layout.postUpgradeProgram);
    }
}
