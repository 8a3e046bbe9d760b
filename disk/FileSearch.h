// One directory search: the entries that match a pattern, one at a time,
// with the search closed when the object goes. A pattern without wildcards
// finds the one entry at that path, itself, a link not followed: this is how
// the launcher and the disk helper ask whether, and what, something is at a
// path.
#pragma once

#include "platform/String.h"

class FileSearch {
public:
    explicit FileSearch(const CString& pattern);
    ~FileSearch();
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    // False when the search could not start: Error() tells why.
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Moves to the next entry; false after the last one, or on a failure,
    // which Failed() then tells apart.
    bool Next();
    bool Failed() const { return error_ != ERROR_SUCCESS; }
    DWORD Error() const { return error_; }

    LPCWSTR Name() const { return data_.cFileName; }
    bool IsDirectory() const { return (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsLink() const { return IsLinkEntry(data_); }
    // A FIFO, device or socket: nothing that a copy may open.
    bool IsDevice() const { return (data_.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0; }
    bool IsDotEntry() const;

    // A symbolic link or a junction, which points somewhere else. Other
    // reparse points (files kept in a cloud, deduplicated files) are files
    // and folders like any other.
    static bool IsLinkEntry(const WIN32_FIND_DATAW& entry);

private:
    WIN32_FIND_DATAW data_ = {};
    HANDLE handle_;
    DWORD error_ = ERROR_SUCCESS;
};
