#include "disk/FileBatch.h"

#include <algorithm>
#include <utility>

#include "disk/FileSearch.h"
#include "platform/ScopedHandle.h"

namespace {

const WCHAR kTemporaryPrefix[] = TEXT(".tavrel-");
const int kTemporaryPrefixLength = 8;
const int kHashDigits = 16;
const DWORD kReplaceable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
// A file in use (a virus scanner or an indexer reading it) is let go within
// milliseconds: it is tried this many times, so far apart.
const int kAttempts = 8;
const DWORD kPauseMilliseconds = 10;

// The batch's own names, made as temporaries' names are from the name of a
// file. No file name holds a colon (a Linux name shows it as another code
// point), so none is given the same name as one of these.
const WCHAR kKeptTag[] = TEXT("kept:");
const WCHAR kRecordName[] = TEXT("record:");
const WCHAR kDoneRecordName[] = TEXT("done:");

// How a record lists a target: replaced, kept aside, or added.
const WCHAR kReplaces = TEXT('=');
const WCHAR kAdds = TEXT('+');

// A record's text. Not a std::basic_string: the Windows program would link
// the run-time's whole prebuilt wide string for it.
typedef std::vector<WCHAR> Units;

// FNV-1a over code units: a temporary name of fixed length, which no name is
// too long for, and the check of a record.
uint64_t Fnv(const WCHAR* units, size_t count) {
    uint64_t hash = 0xcbf29ce484222325u;
    for (size_t i = 0; i < count; ++i) {
        hash = (hash ^ static_cast<uint16_t>(units[i])) * 0x100000001b3u;
    }
    return hash;
}

uint64_t HashOf(const CString& name) {
    return Fnv(name, name.GetLength());
}

// What the old content of the file `name` is kept aside under stands for.
uint64_t KeptHashOf(const CString& name) {
    return HashOf(kKeptTag + name);
}

// The temporaries' name beside target that stands for hash.
CString NameBeside(const CString& target, uint64_t hash) {
    WCHAR digits[kHashDigits + 1];
    for (int i = 0; i < kHashDigits; ++i) {
        digits[i] = TEXT("0123456789abcdef")[(hash >> (60 - 4 * i)) & 0xF];
    }
    digits[kHashDigits] = 0;
    return target.Left(target.ReverseFind(TEXT('\\')) + 1) + kTemporaryPrefix + digits;
}

CString NameOf(const CString& target) {
    return target.Mid(target.ReverseFind(TEXT('\\')) + 1);
}

// The hash that a name of the temporaries' form stands for.
bool IsTemporaryName(const CString& name, uint64_t* hash) {
    if (name.GetLength() != kTemporaryPrefixLength + kHashDigits ||
        name.Left(kTemporaryPrefixLength) != CString(kTemporaryPrefix)) {
        return false;
    }
    *hash = 0;
    for (int i = kTemporaryPrefixLength; i < name.GetLength(); ++i) {
        const WCHAR c = name[i];
        const bool digit = c >= TEXT('0') && c <= TEXT('9');
        if (!digit && !(c >= TEXT('a') && c <= TEXT('f'))) {
            return false;
        }
        *hash = (*hash << 4) | static_cast<uint64_t>(digit ? c - TEXT('0') : c - TEXT('a') + 10);
    }
    return true;
}

CString KeptFor(const CString& target) {
    return NameBeside(target, KeptHashOf(NameOf(target)));
}

CString RecordFor(const CString& root) {
    return NameBeside(root, HashOf(kRecordName));
}

CString DoneRecordFor(const CString& root) {
    return NameBeside(root, HashOf(kDoneRecordName));
}

bool Exists(const CString& path) {
    return FileSearch(path).IsOpen();
}

// The file at path itself (a link is not followed), without opening it for
// reading or writing; all zero when it cannot be had.
BY_HANDLE_FILE_INFORMATION InformationOf(const CString& path) {
    const ScopedHandle file(CreateFileW(
        path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!file.IsValid() || !GetFileInformationByHandle(file.get(), &information)) {
        return {};
    }
    return information;
}

// One file under two names, as a hard link makes it. A target that is not
// there, or has no other name, is not the source.
bool IsSameFile(const CString& source, const CString& target) {
    const BY_HANDLE_FILE_INFORMATION first = InformationOf(target);
    if (first.nNumberOfLinks < 2) {
        return false;
    }
    const BY_HANDLE_FILE_INFORMATION second = InformationOf(source);
    return second.nNumberOfLinks == first.nNumberOfLinks &&
           second.dwVolumeSerialNumber == first.dwVolumeSerialNumber &&
           second.nFileIndexHigh == first.nFileIndexHigh &&
           second.nFileIndexLow == first.nFileIndexLow;
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

// A record: for each target, whether it is replaced or added, and its path
// below the batch's folder, each ended by a zero unit; then the check of all
// of it, four units.
Units Encode(const std::vector<std::pair<CString, bool>>& targets) {
    Units units;
    for (const auto& [relative, replaces] : targets) {
        units.push_back(replaces ? kReplaces : kAdds);
        const LPCWSTR text = relative;
        units.insert(units.end(), text, text + relative.GetLength());
        units.push_back(0);
    }
    const uint64_t check = Fnv(units.data(), units.size());
    for (int shift = 0; shift < 64; shift += 16) {
        units.push_back(static_cast<WCHAR>(check >> shift));
    }
    return units;
}

// The targets of a whole record; false for anything else (a record cut off
// before it was sealed, which nothing had acted on).
bool Decode(const Units& units, std::vector<std::pair<CString, bool>>* targets) {
    if (units.size() < 4) {
        return false;
    }
    const size_t size = units.size() - 4;
    uint64_t check = 0;
    for (int i = 3; i >= 0; --i) {
        check = (check << 16) | static_cast<uint16_t>(units[size + i]);
    }
    if (check != Fnv(units.data(), size)) {
        return false;
    }
    for (size_t start = 0; start < size;) {
        const size_t end = std::find(units.begin() + start, units.end(), WCHAR(0)) - units.begin();
        if (end >= size || (units[start] != kReplaces && units[start] != kAdds) ||
            end == start + 1) {
            return false;
        }
        targets->emplace_back(CString(units.data() + start + 1, static_cast<int>(end - start - 1)),
                              units[start] == kReplaces);
        start = end + 1;
    }
    return true;
}

// A new file at path that holds units and is handed over to be made durable;
// never written through a link.
BOOL WriteNewFile(const CString& path, const Units& units) {
    const DWORD size = static_cast<DWORD>(units.size() * sizeof(WCHAR));
    DWORD written = 0;
    {
        const ScopedHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file.IsValid() || !WriteFile(file.get(), units.data(), size, &written, nullptr)) {
            return FALSE;
        }
    }
    return QueueFlush(path);
}

// The whole of the regular file at path; false when it cannot be read.
bool ReadWholeFile(const CString& path, Units* units) {
    const ScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.IsValid()) {
        return false;
    }
    const size_t chunk = 1 << 15;
    DWORD read = 0;
    do {
        const size_t size = units->size();
        units->resize(size + chunk);
        if (!ReadFile(file.get(), units->data() + size, chunk * sizeof(WCHAR), &read, nullptr)) {
            return false;
        }
        units->resize(size + read / sizeof(WCHAR));
    } while (read > 0);
    return true;
}

}  // namespace

FileBatch::FileBatch(const CString& root) : root_(root) {}

FileBatch::~FileBatch() {
    if (state_ == kSealed) {
        Undo();
    } else if (state_ == kWriting) {
        for (int i = 0; i < Count(); ++i) {
            DeleteFileW(TemporaryFor(Target(i)));
        }
    }
}

int FileBatch::FirstConflict(const CStringArray& names) {
    // Every name the batch may give a file beside these, with the index of
    // the name it comes from (-1 for the batch's records).
    std::vector<std::pair<uint64_t, int>> given = {{HashOf(kRecordName), -1},
                                                   {HashOf(kDoneRecordName), -1}};
    std::vector<std::pair<uint64_t, int>> temporaryNames;
    for (int i = 0; i < names.GetSize(); ++i) {
        given.emplace_back(HashOf(names[i]), i);
        given.emplace_back(KeptHashOf(names[i]), i);
        uint64_t named;
        if (IsTemporaryName(names[i], &named)) {
            temporaryNames.emplace_back(named, i);
        }
    }
    std::sort(given.begin(), given.end());
    int first = -1;
    const auto note = [&first](int i) { first = first < 0 ? i : std::min(first, i); };
    for (size_t i = 1; i < given.size(); ++i) {
        if (given[i].first == given[i - 1].first) {
            note(given[i - 1].second >= 0 ? given[i - 1].second : given[i].second);
        }
    }
    for (const auto& [named, i] : temporaryNames) {
        const auto other = std::lower_bound(given.begin(), given.end(), std::make_pair(named, -1));
        if (other != given.end() && other->first == named) {
            note(other->second >= 0 ? std::min(i, other->second) : i);
        }
    }
    return first;
}

BOOL FileBatch::Write(const CString& from, const CString& to, const CString& name) {
    if (folders_.empty() || folders_.back().from != from || folders_.back().to != to) {
        folders_.push_back({from, to});
    }
    if (IsSameFile(from + name, to + name)) {
        return TRUE;
    }
    // The temporary is made anew: whatever a copy cut off left there goes
    // first, and is never written through.
    const CString temporary = TemporaryFor(to + name);
    BOOL written = CopyFileW(from + name, temporary, TRUE);
    if (!written && GetLastError() == ERROR_FILE_EXISTS && DeleteFileW(temporary)) {
        written = CopyFileW(from + name, temporary, TRUE);
    }
    if (!written || !QueueFlush(temporary)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary);
        SetLastError(error);
        return FALSE;
    }
    files_.push_back({static_cast<int>(folders_.size()) - 1, name, false, false, kNotPlaced});
    return TRUE;
}

BOOL FileBatch::Seal() {
    for (File& file : files_) {
        const FileSearch entry(folders_[file.folder].to + file.name);
        file.replaces = entry.IsOpen();
        // A folder is no file to replace; a link to one is.
        file.isFolder = file.replaces && entry.IsDirectory() && !entry.IsLink();
    }
    if (files_.empty()) {
        state_ = kSealed;
        return TRUE;
    }
    if (!WriteRecord() || !FlushQueued(root_)) {
        // Nothing acted on the record, which goes with the temporaries.
        const DWORD error = GetLastError();
        DeleteFileW(RecordFor(root_));
        SetLastError(error);
        return FALSE;
    }
    state_ = kSealed;
    return TRUE;
}

BOOL FileBatch::WriteRecord() const {
    std::vector<std::pair<CString, bool>> targets;
    targets.reserve(files_.size());
    for (int i = 0; i < Count(); ++i) {
        targets.emplace_back(Target(i).Mid(root_.GetLength()), files_[i].replaces);
    }
    return WriteNewFile(RecordFor(root_), Encode(targets));
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
        const FileSearch entry(record);
        if (!entry.IsOpen()) {
            continue;
        }
        const bool isFile = !entry.IsDirectory() && !entry.IsLink() && !entry.IsDevice();
        Units units;
        std::vector<std::pair<CString, bool>> targets;
        // A record that cannot be read now may still tell what to finish or
        // undo: it stays for a later try.
        if (isFile && !ReadWholeFile(record, &units)) {
            return FALSE;
        }
        if (!isFile || !Decode(units, &targets)) {
            // Not a record that anything acted on: what a batch cut off
            // while it sealed left, or something else under its name.
            if (!RemoveEntry(record)) {
                return FALSE;
            }
            continue;
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

CString FileBatch::TemporaryFor(const CString& target) {
    return NameBeside(target, HashOf(NameOf(target)));
}
