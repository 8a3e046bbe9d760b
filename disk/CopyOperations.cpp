// Copying the files of a directory or of a whole tree, and creating a
// directory with all its missing parents.
#include "disk/BatchRecord.h"
#include "disk/CurrentDirectory.h"
#include "disk/DiskObject.h"
#include "disk/FileBatch.h"

BOOL CDiskObject::CopyFiles(const CString& source, const CString& destination, BOOL stopOnError) {
    CString from;
    CString to;
    if (!StartWithDirectory(source, from) || !StartWithDirectory(destination, to) ||
        !RecoverCopy(to)) {
        return FALSE;
    }
    FileBatch batch(to);
    CopyFailure failure;
    return WriteFiles(from, to, stopOnError, batch, failure) &&
           PlaceFiles(batch, to, stopOnError, failure);
}

BOOL CDiskObject::CopyTree(const CString& source, const CString& destination, BOOL stopOnError) {
    return PutTree(source, destination, stopOnError, false);
}

BOOL CDiskObject::LinkTree(const CString& source, const CString& destination, BOOL stopOnError) {
    return PutTree(source, destination, stopOnError, true);
}

BOOL CDiskObject::PutTree(const CString& source, const CString& destination, BOOL stopOnError,
                          bool linksSoleFiles) {
    CString from;
    CString to;
    if (!StartWithDirectory(source, from) || !StartWithDirectory(destination, to) ||
        !RecoverCopy(to)) {
        return FALSE;
    }
    CStringArray directories;
    directories.Add(from);
    if (!ListSubdirectories(from, directories, FullPaths)) {
        return FALSE;
    }
    // One batch for the whole tree: nothing is replaced before every file
    // of it is written, so a tree that does not fit replaces nothing, and a
    // file that cannot take its place puts back all that did.
    FileBatch batch(to, linksSoleFiles);
    CopyFailure failure;
    const int count = directories.GetSize();
    for (int i = 0; i < count; ++i) {
        const CString& directory = directories[i];
        // Links inside the tree point out of it: nothing is made for them.
        if (i > 0 && IsDirectoryLink(directory)) {
            continue;
        }
        const CString target = to + directory.Mid(from.GetLength());
        // A link where the tree has a folder gives way to a real folder.
        if (i > 0 && IsDirectoryLink(target) && !::RemoveDirectoryW(target)) {
            SetSystemError(GetLastError(), target);
        } else if (WriteFiles(directory, target, stopOnError, batch, failure)) {
            continue;
        }
        if (stopOnError) {
            return FALSE;
        }
        RecordFailure(failure);
    }
    return PlaceFiles(batch, to, stopOnError, failure);
}

BOOL CDiskObject::WriteFiles(const CString& from, const CString& to, BOOL stopOnError,
                             FileBatch& batch, CopyFailure& failure) {
    CStringArray names;
    if (!ListEntries(TEXT("*.*"), from, names, NamesOnly, true) || !CreateDirectoryChain(to)) {
        return FALSE;
    }
    const int conflict = FirstConflict(names);
    const int count = names.GetSize();
    for (int i = 0; i < count; ++i) {
        const CString& name = names[i];
        Echo(name);
        if (i == conflict) {
            SetLastError(ERROR_FILE_EXISTS);
        } else if (batch.Write(from, to, name)) {
            continue;
        }
        SetSystemError(GetLastError(), from + name + TEXT(" -> ") + to + name);
        if (stopOnError) {
            return FALSE;
        }
        RecordFailure(failure);
    }
    return TRUE;
}

BOOL CDiskObject::PlaceFiles(FileBatch& batch, const CString& to, BOOL stopOnError,
                             CopyFailure& failure) {
    if (!batch.Seal()) {
        SetSystemError(GetLastError(), to);
        RecordFailure(failure);
        m_errorText = failure.text;
        return FALSE;
    }
    const int count = batch.Count();
    for (int i = 0; i < count && !(stopOnError && failure.failed); ++i) {
        if (!batch.Place(i)) {
            SetSystemError(GetLastError(), batch.Source(i) + TEXT(" -> ") + batch.Target(i));
            RecordFailure(failure);
        }
    }
    // A batch neither finished nor undone puts everything back as it goes.
    if (!(stopOnError && failure.failed) && !batch.Finish()) {
        // Not on stable storage, the copy is not done.
        SetSystemError(GetLastError(), to);
        RecordFailure(failure);
    }
    m_errorText = failure.text;
    return !failure.failed;
}

BOOL CDiskObject::RecoverCopy(const CString& destination) {
    CString root;
    if (!StartWithDirectory(destination, root)) {
        return FALSE;
    }
    if (!FileBatch::Recover(root)) {
        SetSystemError(GetLastError(), root);
        return FALSE;
    }
    return TRUE;
}

BOOL CDiskObject::HasUnfinishedCopy(const CString& destination) {
    CString root;
    return StartWithDirectory(destination, root) && FileBatch::IsUnfinished(root);
}

void CDiskObject::RecordFailure(CopyFailure& failure) const {
    if (!failure.failed) {
        failure = {TRUE, m_errorText};
    }
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
