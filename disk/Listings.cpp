// Directory listings: the sorted files of one directory, and every
// subdirectory below one, depth first.
#include <algorithm>
#include <vector>

#include "disk/DiskObject.h"
#include "disk/FileSearch.h"
#include "disk/PathParts.h"

namespace {

const WCHAR kEverything[] = TEXT("*.*");

bool Less(const CString& a, const CString& b) {
    return a.Compare(b) < 0;
}

// Gives the list the order it would have if each new element, in the order
// found, had been inserted in front of the first element greater than it,
// searching from the start (equal ones do not stop the search). Such an
// element ends up in front of the first old element greater than it, and
// the new ones are sorted among themselves, so one sort and one merge give
// that order for any list, sorted or not.
void InsertSorted(CStringArray& list, std::vector<CString> added) {
    std::stable_sort(added.begin(), added.end(), Less);
    CStringArray merged;
    size_t next = 0;
    const CString* greatest = nullptr;
    for (int i = 0; i < list.GetSize(); ++i) {
        const CString& old = list[i];
        if (greatest == nullptr || Less(*greatest, old)) {
            greatest = &old;
        }
        while (next < added.size() && Less(added[next], *greatest)) {
            merged.Add(added[next++]);
        }
        merged.Add(old);
    }
    while (next < added.size()) {
        merged.Add(added[next++]);
    }
    list = std::move(merged);
}

}  // namespace

BOOL CDiskObject::ListFiles(const CString& directory, CStringArray& list, ListMode mode) {
    return ListFilesMatching(kEverything, directory, list, mode);
}

BOOL CDiskObject::ListFilesMatching(const CString& filter, const CString& directory,
                                    CStringArray& list, ListMode mode) {
    return ListEntries(filter, directory, list, mode, false);
}

// The files that a copy may open are regular files, not links to them nor
// FIFOs, devices or sockets.
BOOL CDiskObject::ListEntries(const CString& filter, const CString& directory, CStringArray& list,
                              ListMode mode, bool copyableOnly) {
    ClearError();
    CString qualified = directory;
    if (!QualifyDirectory(qualified)) {
        return FALSE;
    }
    if (!DirectoryExists(qualified)) {
        // A folder that is there but cannot be entered is not an empty one.
        const FileSearch entry(WithoutTrailingBackslash(qualified));
        if (!entry.IsOpen() || !entry.IsDirectory()) {
            return TRUE;
        }
        SetSystemError(ERROR_ACCESS_DENIED, qualified);
        return FALSE;
    }
    const CString pattern = qualified + filter;
    FileSearch search(pattern);
    if (!search.IsOpen()) {
        SetSystemError(search.Error(), pattern);
        return FALSE;
    }
    std::vector<CString> found;
    do {
        if (search.IsDirectory() || (copyableOnly && (search.IsLink() || search.IsDevice()))) {
            continue;
        }
        found.push_back(mode == FullPaths ? qualified + search.Name() : CString(search.Name()));
        Echo(found.back());
    } while (search.Next());
    // A search that breaks off has not listed the directory.
    if (search.Failed()) {
        SetSystemError(search.Error(), pattern);
        return FALSE;
    }
    InsertSorted(list, std::move(found));
    return TRUE;
}

BOOL CDiskObject::ListSubdirectories(const CString& directory, CStringArray& list, ListMode mode) {
    CString base = directory;
    if (!QualifyDirectory(base)) {
        return FALSE;
    }
    const BOOL result = CollectSubdirectories(directory, list);
    if (mode == NamesOnly) {
        for (int i = 0; i < list.GetSize(); ++i) {
            const CString relative = list[i].Mid(base.GetLength());
            list.SetAt(i, relative.Left(relative.GetLength() - 1));
        }
    }
    return result;
}

BOOL CDiskObject::CollectSubdirectories(const CString& directory, CStringArray& list) {
    ClearError();
    CString qualified = directory;
    if (!QualifyDirectory(qualified)) {
        return FALSE;
    }
    const CString pattern = qualified + kEverything;
    FileSearch search(pattern);
    if (!search.IsOpen()) {
        SetSystemError(search.Error(), pattern);
        return FALSE;
    }
    do {
        if (!search.IsDirectory() || search.IsDotEntry()) {
            continue;
        }
        const CString subdirectory = qualified + search.Name();
        list.Add(subdirectory + TEXT('\\'));
        Echo(search.Name());
        // A link to a directory is listed, but what it points at is not
        // part of this tree.
        if (!search.IsLink() && !CollectSubdirectories(subdirectory, list)) {
            return FALSE;
        }
    } while (search.Next());
    if (search.Failed()) {
        SetSystemError(search.Error(), pattern);
        return FALSE;
    }
    return TRUE;
}
