#include "disk/FileBatch.h"

#include "disk/BatchRecord.h"
#include "disk/FileIdentity.h"
#include "disk/FileSearch.h"

namespace {

const DWORD kReplaceable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
// A file in use (a virus scanner or an indexer reading it) is let go within
// milliseconds: it is tried this many times, so far apart.
const int kAttempts = 8;
const DWORD kPauseMilliseconds = 10;

bool Exists(const CString& path) {
    return FileSearch(path).IsOpen();
}

// Windows refuses to replace or delete a read-only or hidden file.
bool MadeReplaceable(const CString& path) {
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kReplaceable) == 0) {
        return false;
    }
    const DWORD rest = attributes & ~kReplaceable;
    return SetFileAttributesW(path, rest != 0 ? rest : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

// Renames from to to in one step, replacing what is at to; what is in use is
// waited for briefly.
BOOL Move(const CString& from, const CString& to) {
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | kQueuedMoveFlags;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(from, to, flags)) {
            return TRUE;
        }
        DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED && MadeReplaceable(to)) {
            if (MoveFileExW(from, to, flags)) {
                return TRUE;
            }
            error = GetLastError();
        }
        if (error != ERROR_SHARING_VIOLATION || attempt == kAttempts) {
            SetLastError(error);
            return FALSE;
        }
        Sleep(kPauseMilliseconds);
    }
}

// Removes the file, link, FIFO or device at path (never what a link points
// at); TRUE when nothing is there any more.
BOOL RemoveEntry(const CString& path) {
    if (DeleteFileW(path)) {
        return TRUE;
    }
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        return TRUE;
    }
    const FileSearch entry(path);
    if (entry.IsOpen() && entry.IsDirectory() && entry.IsLink()) {
        return RemoveDirectoryW(path);
    }
    if (error == ERROR_ACCESS_DENIED && MadeReplaceable(path)) {
        return DeleteFileW(path);
    }
    SetLastError(error);
    return FALSE;
}

// Whether a failure to make a file or a link came of something there already.
bool IsExistingName(DWORD error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// Gives the source's content the temporary's name, as a new file: a second
// name of the source itself where it may be linked and a link can be made
// (not across volumes, nor on file systems without links), else a copy.
BOOL Put(const CString& source, const CString& temporary, bool links) {
    return (links && CreateHardLinkW(temporary, source, nullptr)) ||
           CopyFileW(source, temporary, TRUE);
}

}  // namespace

FileBatch::FileBatch(const CString& root, bool linksSoleFiles)
    : root_(root), linksSoleFiles_(linksSoleFiles) {}

FileBatch::~FileBatch() {
    if (state_ == kSealed) {
        Undo();
    } else if (state_ == kWriting) {
        for (int i = 0; i < Count(); ++i) {
            RemoveEntry(TemporaryFor(Target(i)));
        }
    }
}

BOOL FileBatch::Write(const CString& from, const CString& to, const CString& name) {
    if (folders_.empty() || folders_.back().from != from || folders_.back().to != to) {
        folders_.push_back({from, to});
    }
    const CString source = from + name;
    const BY_HANDLE_FILE_INFORMATION information = InformationOf(source);
    if (IsSameFile(information, to + name)) {
        return TRUE;
    }
    // A file whose only name is the source's is the batch's alone. Windows
    // would not let the batch flush a read-only one, nor remove its source's
    // name: that is copied.
    const bool links = linksSoleFiles_ && information.nNumberOfLinks == 1 &&
                       (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
    // The temporary is made anew: whatever a copy cut off left there goes
    // first, and is never written through.
    const CString temporary = TemporaryFor(to + name);
    BOOL written = Put(source, temporary, links);
    if (!written && IsExistingName(GetLastError()) && RemoveEntry(temporary)) {
        written = Put(source, temporary, links);
    }
    if (!written || !QueueFlush(temporary)) {
        const DWORD error = GetLastError();
        RemoveEntry(temporary);
        SetLastError(error);
        return FALSE;
    }
    files_.push_back({static_cast<int>(folders_.size()) - 1, name, false, false, kNotPlaced});
    return TRUE;
}

BOOL FileBatch::Seal() {
    for (File& file : files_) {
        const FileSearch entry(folders_[file.folder].to + file.name);
        // Only a target that is not there is added: one that could not be
        // looked at would be removed, old, by the undo of a batch cut off.
        if (!entry.IsOpen() && entry.Error() != ERROR_FILE_NOT_FOUND) {
            SetLastError(entry.Error());
            return FALSE;
        }
        file.replaces = entry.IsOpen();
        // A folder is no file to replace; a link to one is.
        file.isFolder = file.replaces && entry.IsDirectory() && !entry.IsLink();
    }
    if (files_.empty()) {
        state_ = kSealed;
        return TRUE;
    }
    RecordedTargets targets;
    targets.reserve(files_.size());
    for (int i = 0; i < Count(); ++i) {
        targets.emplace_back(Target(i).Mid(root_.GetLength()), files_[i].replaces);
    }
    if (!WriteRecord(RecordFor(root_), targets) || !FlushQueued(root_)) {
        // Nothing acted on the record, which goes with the temporaries.
        const DWORD error = GetLastError();
        DeleteFileW(RecordFor(root_));
        SetLastError(error);
        return FALSE;
    }
    state_ = kSealed;
    return TRUE;
}

CString FileBatch::Source(int i) const {
    return folders_[files_[i].folder].from + files_[i].name;
}

CString FileBatch::Target(int i) const {
    return folders_[files_[i].folder].to + files_[i].name;
}

BOOL FileBatch::Place(int i) {
    File& file = files_[i];
    const CString target = Target(i);
    if (file.isFolder) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (file.replaces && !Move(target, KeptFor(target))) {
        return FALSE;
    }
    // The place is empty now: anything found there was not there when the
    // batch was sealed, and is not replaced.
    if (!MoveFileExW(TemporaryFor(target), target, kQueuedMoveFlags)) {
        const DWORD error = GetLastError();
        // Not put back, the old file waits aside for Undo or Recover.
        if (file.replaces && !Move(KeptFor(target), target)) {
            file.placed = kMaybePlaced;
        }
        SetLastError(error);
        return FALSE;
    }
    file.placed = kPlaced;
    return TRUE;
}

BOOL FileBatch::Finish() {
    // A file that neither took its place nor went back has its old content
    // kept aside and its new one beside it: done, the batch would remove
    // both. Undone, it puts the old one back.
    for (const File& file : files_) {
        if (file.placed == kMaybePlaced) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
    }
    if (!FlushQueued(root_)) {
        return FALSE;
    }
    const DWORD markFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!files_.empty() && !MoveFileExW(RecordFor(root_), DoneRecordFor(root_), markFlags)) {
        if (Exists(RecordFor(root_)) || !Exists(DoneRecordFor(root_))) {
            return FALSE;
        }
        // Marked done but not durably: the batch is done, and the kept
        // files wait for Recover, since a power cut now would bring back the
        // record that undoes the batch with them.
        state_ = kFinished;
        return TRUE;
    }
    state_ = kFinished;
    // What cannot be removed now is left to Recover, with the record.
    RemoveKept();
    return TRUE;
}

BOOL FileBatch::RemoveKept() {
    BOOL removed = TRUE;
    for (int i = 0; i < Count(); ++i) {
        const CString target = Target(i);
        if (files_[i].placed != kNotPlaced && files_[i].replaces) {
            removed = RemoveEntry(KeptFor(target)) && removed;
        }
        if (files_[i].placed != kPlaced) {
            removed = RemoveEntry(TemporaryFor(target)) && removed;
        }
    }
    return removed && (files_.empty() || RemoveEntry(DoneRecordFor(root_)));
}

BOOL FileBatch::Undo() {
    BOOL undone = TRUE;
    DWORD error = ERROR_SUCCESS;
    for (int i = Count() - 1; i >= 0; --i) {
        File& file = files_[i];
        const CString target = Target(i);
        const CString kept = KeptFor(target);
        if (file.placed != kNotPlaced &&
            (file.replaces ? !Exists(kept) || Move(kept, target) : RemoveEntry(target))) {
            file.placed = kNotPlaced;
        }
        if (file.placed != kNotPlaced || !RemoveEntry(TemporaryFor(target))) {
            undone = FALSE;
            error = GetLastError();
        }
    }
    // The record goes only once what it tells of is undone for good.
    if (undone && !files_.empty() && (!FlushQueued(root_) || !RemoveEntry(RecordFor(root_)))) {
        undone = FALSE;
        error = GetLastError();
    }
    state_ = kUndone;
    SetLastError(error);
    return undone;
}

BOOL FileBatch::Recover(const CString& root) {
    for (const bool done : {true, false}) {
        const CString record = done ? DoneRecordFor(root) : RecordFor(root);
        RecordedTargets targets;
        switch (ReadRecord(record, &targets)) {
            case kRecordAbsent:
                continue;
            case kRecordUnreadable:
                return FALSE;
            case kNoRecord:
                if (!RemoveEntry(record)) {
                    return FALSE;
                }
                continue;
            case kRecordRead:
                break;
        }
        FileBatch batch(root);
        batch.folders_.push_back({CString(), root});
        for (const auto& [relative, replaces] : targets) {
            batch.files_.push_back({0, relative, replaces, false, kMaybePlaced});
        }
        batch.state_ = done ? kFinished : kSealed;
        if (!(done ? batch.RemoveKept() : batch.Undo())) {
            return FALSE;
        }
    }
    return TRUE;
}

bool FileBatch::IsUnfinished(const CString& root) {
    return Exists(RecordFor(root)) || Exists(DoneRecordFor(root));
}
