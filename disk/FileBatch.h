// Files written into place whole. Each new file is first written beside its
// target under a temporary name and handed over to be made durable; only
// once every file of the batch is written and durable does each take its
// target's place, by one rename, in the order the files came. Whatever
// happens in between, each target holds its old content or its new one,
// never a part; a link, a FIFO or a device at a target is replaced, never
// written through or opened; and a file that is its own target is left as
// it is. Temporaries that are not put in place go with the batch.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/StringArray.h"

class FileBatch {
public:
    FileBatch() = default;
    ~FileBatch();
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;

    // Among the names of the files of one folder, the index of the first one
    // that cannot be told from another (one is the other's temporary name,
    // or both give one temporary name), or -1. Neither may be written before
    // the other is refused.
    static int FirstConflict(const CStringArray& names);

    // Writes the content of the file `name` of folder `from` beside its
    // place in folder `to`; FALSE, with the last error set, when it cannot.
    BOOL Write(const CString& from, const CString& to, const CString& name);
    // Waits until everything written, and everything put in place, on the
    // file system that holds folder is on stable storage.
    BOOL Flush(const CString& folder) const;

    int Count() const { return static_cast<int>(files_.size()); }
    CString Source(int i) const;
    CString Target(int i) const;
    // Puts the i-th file in its target's place; FALSE, with the last error
    // set, when it cannot. A read-only or hidden target is replaced too.
    BOOL Place(int i);

    // The name beside target under which its new content is written: the
    // same for the same target each time, so that a temporary left by a copy
    // cut off is met again, and removed, by the next copy to that target.
    static CString TemporaryFor(const CString& target);

private:
    struct Folder {
        CString from;
        CString to;
    };
    struct File {
        int folder;
        CString name;
        bool placed;
    };
    std::vector<Folder> folders_;
    std::vector<File> files_;
};
