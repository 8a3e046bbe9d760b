// The disk helper's core: error text, progress window and path
// qualification.
#include "disk/DiskObject.h"

#include "disk/CurrentDirectory.h"
#include "disk/FileSearch.h"
#include "disk/PathParts.h"

namespace {

const WCHAR kInternalError[] = TEXT("CDiskObject internal error - check call parameters");

bool StartsWith(const CString& text, LPCWSTR prefix) {
    const CString start(prefix);
    return text.Left(start.GetLength()) == start;
}

}  // namespace

CDiskObject::CDiskObject(CWnd* progressWindow) : m_progressWindow(progressWindow) {}

void CDiskObject::Echo(const CString& text) {
    if (m_progressWindow != nullptr) {
        m_progressWindow->SetWindowText(text);
    }
}

void CDiskObject::ClearError() {
    m_errorText.Empty();
}

void CDiskObject::SetInternalError() {
    m_errorText = kInternalError;
    Echo(m_errorText);
}

void CDiskObject::SetSystemError(DWORD code, const CString& elements) {
    // Insertion points stay as they are: there are no arguments to read.
    LPWSTR message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<LPWSTR>(&message), 0, nullptr);
    m_errorText = length > 0 ? CString(message, static_cast<int>(length)) : CString();
    m_errorText.TrimLeft();
    m_errorText.TrimRight();
    if (!elements.IsEmpty()) {
        m_errorText += TEXT(' ');
        m_errorText += elements;
    }
    Echo(m_errorText);
    LocalFree(message);
}

BOOL CDiskObject::QualifyDirectory(CString& directory) {
    directory.Replace(TEXT('/'), TEXT('\\'));
    if (!directory.IsEmpty() && directory[directory.GetLength() - 1] != TEXT('\\')) {
        directory += TEXT('\\');
    }
    if (StartsWith(directory, TEXT("\\\\"))) {
        return TRUE;
    }
    return QualifyFile(directory);
}

BOOL CDiskObject::QualifyFile(CString& path) {
    path.Replace(TEXT('/'), TEXT('\\'));
    const PathParts parts = SplitPath(path);
    if (parts.drive.IsEmpty()) {
        const CString current = ReadCurrentDirectory();
        const CString& directory = parts.directory;
        if (directory.GetLength() > 2 && StartsWith(directory, TEXT("\\\\"))) {
            // A UNC path stays as it is.
        } else if (StartsWith(directory, TEXT("..\\"))) {
            // Each leading ..\ is one step up from the current directory.
            const CurrentDirectoryKeeper keeper(current);
            CString rest = directory;
            while (StartsWith(rest, TEXT("..\\"))) {
                SetCurrentDirectoryW(TEXT(".."));
                rest = rest.Mid(3);
            }
            path = ReadCurrentDirectory() + TEXT('\\') + rest + parts.name + parts.extension;
        } else if (!directory.IsEmpty() && directory[0] == TEXT('\\')) {
            path = SplitPath(current).drive + path;
        } else {
            path = current + TEXT('\\') + path;
        }
    }
    if (!IsValidPathPart(parts.directory) || !IsValidPathPart(parts.name) ||
        !IsValidPathPart(parts.extension)) {
        SetInternalError();
        return FALSE;
    }
    return TRUE;
}

BOOL CDiskObject::IsValidPathPart(const CString& part) const {
    return part.Find(TEXT(':')) < 0 && part.Find(TEXT('*')) < 0 && part.Find(TEXT('?')) < 0;
}

BOOL CDiskObject::DirectoryExists(const CString& directory) {
    CString qualified;
    if (!StartWithDirectory(directory, qualified)) {
        return 0;
    }
    const CurrentDirectoryKeeper keeper;
    return SetCurrentDirectoryW(qualified) ? 1 : 0;
}

BOOL CDiskObject::StartWithPath(const CString& path) {
    ClearError();
    if (path.IsEmpty()) {
        SetInternalError();
        return FALSE;
    }
    return TRUE;
}

BOOL CDiskObject::StartWithDirectory(const CString& path, CString& qualified) {
    if (!StartWithPath(path)) {
        return FALSE;
    }
    qualified = path;
    return QualifyDirectory(qualified);
}

BOOL CDiskObject::IsDirectoryLink(const CString& directory) const {
    const FileSearch entry(WithoutTrailingBackslash(directory));
    return entry.IsOpen() && entry.IsDirectory() && entry.IsLink();
}
