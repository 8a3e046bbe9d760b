// Removing a file, the files of a directory, a directory, or a whole tree.
#include "disk/DiskObject.h"

BOOL CDiskObject::RemoveFile(const CString& path) {
    if (!StartWithPath(path)) {
        return FALSE;
    }
    CString file = path;
    if (!QualifyFile(file)) {
        return FALSE;
    }
    if (!DeleteFileW(file)) {
        SetSystemError(GetLastError(), file);
        return FALSE;
    }
    return TRUE;
}

BOOL CDiskObject::EmptyDirectory(const CString& path) {
    CString directory;
    if (!StartWithDirectory(path, directory)) {
        return FALSE;
    }
    CStringArray names;
    if (!ListFiles(directory, names, NamesOnly)) {
        return FALSE;
    }
    const int count = names.GetSize();
    for (int i = 0; i < count; ++i) {
        Echo(names[i]);
        if (!DeleteFileW(directory + names[i])) {
            SetSystemError(GetLastError(), directory + names[i]);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CDiskObject::RemoveDirectory(const CString& path) {
    CString directory;
    if (!StartWithDirectory(path, directory)) {
        return FALSE;
    }
    // A link goes by itself: the files it shows belong elsewhere.
    if (!IsDirectoryLink(directory) && !EmptyDirectory(directory)) {
        return FALSE;
    }
    Echo(directory);
    if (!::RemoveDirectoryW(directory)) {
        SetSystemError(GetLastError(), directory);
        return FALSE;
    }
    return TRUE;
}

BOOL CDiskObject::RemoveTree(const CString& path) {
    CString directory;
    if (!StartWithDirectory(path, directory)) {
        return FALSE;
    }
    // Every directory comes before its subdirectories, so going backwards
    // empties each before its parent.
    CStringArray directories;
    if (!IsDirectoryLink(directory) && !ListSubdirectories(directory, directories, FullPaths)) {
        return FALSE;
    }
    for (int i = directories.GetSize() - 1; i >= 0; --i) {
        if (!RemoveDirectory(directories[i])) {
            return FALSE;
        }
    }
    return RemoveDirectory(directory);
}
