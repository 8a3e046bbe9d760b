#include "disk/PathParts.h"

#include <algorithm>

PathParts SplitPath(const CString& path) {
    PathParts parts;
    const bool hasDrive = path.GetLength() >= 2 && path[1] == TEXT(':');
    parts.drive = hasDrive ? path.Left(2) : CString();
    const CString rest = path.Mid(parts.drive.GetLength());

    const int lastSeparator = std::max(rest.ReverseFind(TEXT('\\')), rest.ReverseFind(TEXT('/')));
    parts.directory = rest.Left(lastSeparator + 1);
    const CString file = rest.Mid(lastSeparator + 1);

    const int dot = file.ReverseFind(TEXT('.'));
    parts.name = dot < 0 ? file : file.Left(dot);
    parts.extension = dot < 0 ? CString() : file.Mid(dot);
    return parts;
}

CString WithoutTrailingBackslash(const CString& path) {
    const int length = path.GetLength();
    return !path.IsEmpty() && path[length - 1] == TEXT('\\') ? path.Left(length - 1) : path;
}
