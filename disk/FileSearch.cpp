#include "disk/FileSearch.h"

FileSearch::FileSearch(const CString& pattern) : handle_(FindFirstFileW(pattern, &data_)) {
    if (!IsOpen()) {
        error_ = GetLastError();
    }
}

FileSearch::~FileSearch() {
    if (IsOpen()) {
        FindClose(handle_);
    }
}

bool FileSearch::Next() {
    if (FindNextFileW(handle_, &data_)) {
        return true;
    }
    const DWORD error = GetLastError();
    error_ = error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error;
    return false;
}

bool FileSearch::IsDotEntry() const {
    const CString name = Name();
    return name == CString(TEXT(".")) || name == CString(TEXT(".."));
}

bool FileSearch::IsLinkEntry(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (entry.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
            entry.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
}
