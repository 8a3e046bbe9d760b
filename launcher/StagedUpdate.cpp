#include "launcher/StagedUpdate.h"

#include "disk/DiskObject.h"
#include "disk/FileSearch.h"

namespace {

const int kAttempts = 8;
const DWORD kPauseMilliseconds = 10;

CString WithoutTrailingBackslash(const CString& folder) {
    return folder.Left(folder.GetLength() - 1);
}

// A regular file: a link or a device is no program to install.
bool IsStagedFile(const CString& path) {
    const FileSearch entry(path);
    return entry.IsOpen() && !entry.IsDirectory() && !entry.IsLink() && !entry.IsDevice();
}

// A running program cannot be opened for writing; a missing or read-only
// one is not in use.
bool IsInUse(const CString& path) {
    const HANDLE file =
        CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_SHARING_VIOLATION;
    }
    CloseHandle(file);
    return false;
}

// The browser program is replaced only while it is not in use: it may be
// for a moment, so it is waited for briefly, before anything is copied.
bool BrowserProgramCanBeReplaced(const FolderLayout& layout) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (IsStagedFile(layout.stagedBrowserProgram) && !IsInUse(layout.browserProgram)) {
            return true;
        }
        Sleep(kPauseMilliseconds);
    }
    return false;
}

void RemoveAppliedUpdate(CDiskObject& disk, const FolderLayout& layout) {
    disk.RemoveFile(layout.postUpgradeProgram);
    disk.RemoveTree(layout.appliedUpdateFolder);
}

// Removes the update where it stands, its browser program last: a removal
// cut off part-way leaves an update that still holds its browser program,
// which the next start applies again, never one that can no longer be.
void RemoveStagedUpdate(CDiskObject& disk, const FolderLayout& layout) {
    CStringArray folders;
    CStringArray files;
    if (!disk.ListSubdirectories(layout.updateFolder, folders, FullPaths) ||
        !disk.ListFiles(layout.updateFolder, files, FullPaths)) {
        return;
    }
    for (int i = folders.GetSize() - 1; i >= 0; --i) {
        if (!disk.RemoveDirectory(folders[i])) {
            return;
        }
    }
    for (int i = 0; i < files.GetSize(); ++i) {
        if (files[i] != layout.stagedBrowserProgram && !disk.RemoveFile(files[i])) {
            return;
        }
    }
    disk.RemoveDirectory(layout.updateFolder);
}

}  // namespace

void ApplyStagedUpdate(const FolderLayout& layout) {
    CDiskObject disk;
    // A start cut off while it removed an applied update left it behind.
    if (PathExists(layout.appliedUpdateFolder)) {
        RemoveAppliedUpdate(disk, layout);
    }
    if (!PathExists(layout.updateFolder) || !BrowserProgramCanBeReplaced(layout) ||
        !disk.CopyTree(layout.updateFolder, layout.dataFolder, TRUE)) {
        return;
    }
    // Renamed in one step, on stable storage before anything of it goes, the
    // applied update is never taken for a staged one again, however its
    // removal is cut off.
    if (MoveFileExW(WithoutTrailingBackslash(layout.updateFolder),
                    WithoutTrailingBackslash(layout.appliedUpdateFolder), MOVEFILE_WRITE_THROUGH)) {
        RemoveAppliedUpdate(disk, layout);
    } else {
        RemoveStagedUpdate(disk, layout);
        disk.RemoveFile(layout.postUpgradeProgram);
    }
}
