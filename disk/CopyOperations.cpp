// Copying the files of a directory or of a whole tree, and creating a
// directory with all its missing parents.
#include "disk/CurrentDirectory.h"
#include "disk/DiskObject.h"

BOOL CDiskObject::CopyFiles(const CString& source, const CString& destination, BOOL stopOnError) {
    CString from;
    CString to;
    if (!StartWithDirectory(source, from) || !StartWithDirectory(destination, to)) {
        return FALSE;
    }
    CStringArray names;
    if (!ListFiles(from, names, NamesOnly) || !CreateDirectoryChain(to)) {
        return FALSE;
    }
    // Going on past a failed copy, the result and the error text still
    // tell of the first one that failed.
    BOOL result = TRUE;
    const int count = names.GetSize();
    for (int i = 0; i < count; ++i) {
        const CString& name = names[i];
        Echo(name);
        if (CopyFileW(from + name, to + name, FALSE)) {
            continue;
        }
        if (result) {
            SetSystemError(GetLastError(), from + name + TEXT(" -> ") + to + name);
            result = FALSE;
        }
        if (stopOnError) {
            break;
        }
    }
    return result;
}

BOOL CDiskObject::CopyTree(const CString& source, const CString& destination, BOOL stopOnError) {
    CString from;
    CString to;
    if (!StartWithDirectory(source, from) || !StartWithDirectory(destination, to)) {
        return FALSE;
    }
    CStringArray directories;
    directories.Add(from);
    if (!ListSubdirectories(from, directories, FullPaths)) {
        return FALSE;
    }
    BOOL result = TRUE;
    CString firstError;
    const int count = directories.GetSize();
    for (int i = 0; i < count; ++i) {
        const CString& directory = directories[i];
        // Links inside the tree point out of it: nothing is made for them.
        if (i > 0 && IsDirectoryLink(directory)) {
            continue;
        }
        if (CopyFiles(directory, to + directory.Mid(from.GetLength()), stopOnError)) {
            continue;
        }
        if (stopOnError) {
            return FALSE;
        }
        if (result) {
            firstError = m_errorText;
            result = FALSE;
        }
    }
    m_errorText = firstError;
    return result;
}

BOOL CDiskObject::CreateDirectoryChain(const CString& path) {
    CString qualified;
    if (!StartWithDirectory(path, qualified)) {
        return 0;
    }
    const bool hasDrive = qualified.GetLength() >= 2 && qualified[1] == TEXT(':');
    CString root = hasDrive ? qualified.Left(2) : CString();
    CString rest = qualified.Mid(root.GetLength());
    const CurrentDirectoryKeeper keeper;

    if (rest.GetLength() > 2 && rest.Left(2) == CString(TEXT("\\\\"))) {
        rest = rest.Mid(2);
        const int serverEnd = rest.Find(TEXT('\\'));
        root = TEXT("\\\\") + rest.Left(serverEnd);
        rest = rest.Mid(serverEnd + 1);
    }
    while (!rest.IsEmpty() && rest[0] == TEXT('\\')) {
        rest = rest.Mid(1);
    }
    CString working = root;
    for (int end = rest.Find(TEXT('\\')); end >= 0; end = rest.Find(TEXT('\\'))) {
        working += TEXT('\\') + rest.Left(end);
        rest = rest.Mid(end + 1);
        Echo(working);
        CreateDirectoryW(working, nullptr);
    }
    // A root without drive letter has nothing in front of its backslash.
    const CString tested = working.IsEmpty() ? CString(TEXT("\\")) : working;
    if (!SetCurrentDirectoryW(tested)) {
        SetSystemError(GetLastError(), tested);
        return 0;
    }
    return 1;
}
