#include "launcher/StagedUpdate.h"

#include <utility>
#include <vector>

#include "disk/DiskObject.h"
#include "disk/FileIdentity.h"
#include "disk/FileSearch.h"
#include "disk/PathParts.h"
#include "launcher/UpdateLock.h"
#include "platform/ScopedHandle.h"

namespace {

const int kAttempts = 8;
const DWORD kPauseMilliseconds = 10;
// How long a start waits for another that applies an update: far longer
// than applying one takes (100,000 files took about 11 seconds on the
// benchmark's machine), yet a start behind a holder that never lets go still
// starts the browser within minutes.
const DWORD kLockWaitMilliseconds = 5 * 60 * 1000;

// What the data folder holds for the launcher itself, which no update may
// replace: applied over them, a staged update.lock would part the lock that
// other starts take from the one held.
const LPCWSTR kOwnNames[] = {TEXT("update"), TEXT("update-applied"), TEXT("update.lock")};

// A regular file: a link or a device is no program to install.
bool IsStagedFile(const CString& path) {
    const FileSearch entry(path);
    return entry.IsOpen() && !entry.IsDirectory() && !entry.IsLink() && !entry.IsDevice();
}

// A running program cannot be opened for writing; a missing or read-only
// one is not in use.
bool IsInUse(const CString& path) {
    const ScopedHandle file(
        CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return !file.IsValid() && GetLastError() == ERROR_SHARING_VIOLATION;
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

// Staged entries named as the launcher's own go with the update before it
// is applied, links as links; false when one stays.
bool RemoveOwnNames(CDiskObject& disk, const FolderLayout& layout) {
    for (const LPCWSTR name : kOwnNames) {
        const CString path = layout.updateFolder + name;
        const FileSearch entry(path);
        if (entry.IsOpen() &&
            !(entry.IsDirectory() ? disk.RemoveTree(path) : disk.RemoveFile(path))) {
            return false;
        }
    }
    return true;
}

// Windows refuses to remove a read-only file, which an update may hold (one
// copied from a read-only medium, say). While the object lives, each of the
// update's read-only files in `folder` is writable; one that is an installed
// file as well (staged as a hard link of it) is read-only again when the
// object goes, once the update's name of it has gone. Nothing is written
// through a link.
class WritableUpdate {
public:
    WritableUpdate(CDiskObject& disk, const FolderLayout& layout, const CString& folder);
    ~WritableUpdate();
    WritableUpdate(const WritableUpdate&) = delete;
    WritableUpdate& operator=(const WritableUpdate&) = delete;

private:
    std::vector<std::pair<CString, DWORD>> installed_;
};

WritableUpdate::WritableUpdate(CDiskObject& disk, const FolderLayout& layout,
                               const CString& folder) {
    CStringArray folders;
    folders.Add(folder);
    disk.ListSubdirectories(folder, folders, FullPaths);
    for (int i = 0; i < folders.GetSize(); ++i) {
        CStringArray files;
        if (FileSearch(WithoutTrailingBackslash(folders[i])).IsLink() ||
            !disk.ListFiles(folders[i], files, FullPaths)) {
            continue;
        }
        for (int j = 0; j < files.GetSize(); ++j) {
            const DWORD attributes = GetFileAttributesW(files[j]);
            const DWORD kinds = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT;
            if (attributes == INVALID_FILE_ATTRIBUTES ||
                (attributes & kinds) != FILE_ATTRIBUTE_READONLY) {
                continue;
            }
            const CString installed = layout.dataFolder + files[j].Mid(folder.GetLength());
            if (IsSameFile(InformationOf(files[j]), installed)) {
                installed_.emplace_back(installed, attributes);
            }
            const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
            SetFileAttributesW(files[j], writable != 0 ? writable : FILE_ATTRIBUTE_NORMAL);
        }
    }
}

WritableUpdate::~WritableUpdate() {
    for (const auto& [path, attributes] : installed_) {
        SetFileAttributesW(path, attributes);
    }
}

// Its read-only files are looked for only when they stop the removal.
void RemoveAppliedUpdate(CDiskObject& disk, const FolderLayout& layout) {
    disk.RemoveFile(layout.postUpgradeProgram);
    if (!disk.RemoveTree(layout.appliedUpdateFolder)) {
        const WritableUpdate writable(disk, layout, layout.appliedUpdateFolder);
        disk.RemoveTree(layout.appliedUpdateFolder);
    }
}

// Removes the update where it stands, its browser program last: a removal
// cut off part-way leaves an update that still holds its browser program,
// which the next start applies again, never one that can no longer be.
void RemoveStagedUpdate(CDiskObject& disk, const FolderLayout& layout) {
    const WritableUpdate writable(disk, layout, layout.updateFolder);
    CStringArray folders;
    CStringArray files;
    if (!disk.ListSubdirectories(layout.updateFolder, folders, NamesOnly) ||
        !disk.ListFiles(layout.updateFolder, files, FullPaths)) {
        return;
    }
    // The folders at its top go as trees, with those below them.
    for (int i = 0; i < folders.GetSize(); ++i) {
        if (folders[i].Find(TEXT('\\')) < 0 && !disk.RemoveTree(layout.updateFolder + folders[i])) {
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
    if (!PathExists(layout.updateFolder) && !PathExists(layout.appliedUpdateFolder) &&
        !disk.HasUnfinishedCopy(layout.dataFolder)) {
        return;
    }
    // One start at a time: another that applies an update is waited for,
    // and what it left is looked at afresh. A copy cut off is finished or
    // undone first, so that the browser never starts on a part of one.
    const UpdateLock lock(layout.updateLock, kLockWaitMilliseconds);
    if (!lock.IsHeld() || !disk.RecoverCopy(layout.dataFolder)) {
        return;
    }
    // A start cut off while it removed an applied update left it behind.
    if (PathExists(layout.appliedUpdateFolder)) {
        RemoveAppliedUpdate(disk, layout);
    }
    if (!PathExists(layout.updateFolder) || !BrowserProgramCanBeReplaced(layout) ||
        !RemoveOwnNames(disk, layout) ||
        !disk.LinkTree(layout.updateFolder, layout.dataFolder, TRUE)) {
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
