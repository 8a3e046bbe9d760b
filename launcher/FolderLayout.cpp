#include "launcher/FolderLayout.h"

#include "disk/FileSearch.h"
#include "disk/PathParts.h"

FolderLayout::FolderLayout(const CString& directory)
    : launcherDirectory(directory),
      dataFolder(directory + TEXT("TavrelData\\")),
      updateFolder(dataFolder + TEXT("update\\")),
      appliedUpdateFolder(dataFolder + TEXT("update-applied\\")),
      updateLock(dataFolder + TEXT("update.lock")),
      browserProgram(dataFolder + TEXT("Tavrel.exe")),
      stagedBrowserProgram(updateFolder + TEXT("Tavrel.exe")),
      postUpgradeProgram(dataFolder + TEXT("TavrelPostUpgrade.exe")) {}

CString GetModuleDirectory() {
    // A path cut short would name another folder, so the buffer grows until
    // the whole path fits. No path at all (length 0) gives no directory.
    CString path;
    for (DWORD size = MAX_PATH;; size *= 2) {
        const DWORD length = GetModuleFileNameW(nullptr, path.GetBuffer(size), size);
        if (length < size) {
            path.ReleaseBuffer(length);
            break;
        }
        if (size >= 0x8000) {
            return CString();
        }
    }
    return path.Left(path.ReverseFind(TEXT('\\')) + 1);
}

BOOL PathExists(const CString& path) {
    return FileSearch(WithoutTrailingBackslash(path)).IsOpen();
}
