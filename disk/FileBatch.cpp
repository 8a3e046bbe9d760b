#include "disk/FileBatch.h"

#include <algorithm>
#include <utility>

namespace {

const WCHAR kTemporaryPrefix[] = TEXT(".tavrel-");
const int kTemporaryPrefixLength = 8;
const int kHashDigits = 16;
const DWORD kReplaceable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

// FNV-1a over the name's code units: a temporary name of fixed length, which
// no name is too long for.
uint64_t HashOf(const CString& name) {
    uint64_t hash = 0xcbf29ce484222325u;
    for (int i = 0; i < name.GetLength(); ++i) {
        hash = (hash ^ static_cast<uint16_t>(name[i])) * 0x100000001b3u;
    }
    return hash;
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

struct FileIdentity {
    bool known = false;
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    DWORD links = 0;
};

// The file at path itself (a link is not followed), without opening it for
// reading or writing.
FileIdentity IdentityOf(const CString& path) {
    FileIdentity identity;
    const HANDLE file = CreateFileW(
        path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return identity;
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(file, &information)) {
        identity = {true, information.dwVolumeSerialNumber, information.nFileIndexHigh,
                    information.nFileIndexLow, information.nNumberOfLinks};
    }
    CloseHandle(file);
    return identity;
}

// One file under two names, as a hard link makes it. A target that is not
// there, or has no other name, is not the source.
bool IsSameFile(const CString& source, const CString& target) {
    const FileIdentity first = IdentityOf(target);
    if (!first.known || first.links < 2) {
        return false;
    }
    const FileIdentity second = IdentityOf(source);
    return second.known && first.volume == second.volume && first.indexHigh == second.indexHigh &&
           first.indexLow == second.indexLow;
}

// Windows refuses to replace a read-only or hidden file.
bool MadeReplaceable(const CString& path) {
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kReplaceable) == 0) {
        return false;
    }
    const DWORD rest = attributes & ~kReplaceable;
    return SetFileAttributesW(path, rest != 0 ? rest : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

}  // namespace

FileBatch::~FileBatch() {
    for (int i = 0; i < Count(); ++i) {
        if (!files_[i].placed) {
            DeleteFileW(TemporaryFor(Target(i)));
        }
    }
}

int FileBatch::FirstConflict(const CStringArray& names) {
    std::vector<std::pair<uint64_t, int>> hashes;
    std::vector<std::pair<uint64_t, int>> temporaryNames;
    for (int i = 0; i < names.GetSize(); ++i) {
        hashes.emplace_back(HashOf(names[i]), i);
        uint64_t named;
        if (IsTemporaryName(names[i], &named)) {
            temporaryNames.emplace_back(named, i);
        }
    }
    std::sort(hashes.begin(), hashes.end());
    int first = -1;
    const auto note = [&first](int i) { first = first < 0 ? i : std::min(first, i); };
    for (size_t i = 1; i < hashes.size(); ++i) {
        if (hashes[i].first == hashes[i - 1].first) {
            note(std::min(hashes[i].second, hashes[i - 1].second));
        }
    }
    for (const auto& [named, i] : temporaryNames) {
        const auto other =
            std::lower_bound(hashes.begin(), hashes.end(), std::make_pair(named, -1));
        if (other != hashes.end() && other->first == named) {
            note(std::min(i, other->second));
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
    if (!written || !BeginFlushFile(temporary)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary);
        SetLastError(error);
        return FALSE;
    }
    files_.push_back({static_cast<int>(folders_.size()) - 1, name, false});
    return TRUE;
}

BOOL FileBatch::Flush(const CString& folder) const {
    return FinishFlushes(folder);
}

CString FileBatch::Source(int i) const {
    return folders_[files_[i].folder].from + files_[i].name;
}

CString FileBatch::Target(int i) const {
    return folders_[files_[i].folder].to + files_[i].name;
}

BOOL FileBatch::Place(int i) {
    const CString target = Target(i);
    const CString temporary = TemporaryFor(target);
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | kBatchedMoveFlags;
    BOOL placed = MoveFileExW(temporary, target, flags);
    if (!placed && GetLastError() == ERROR_ACCESS_DENIED && MadeReplaceable(target)) {
        placed = MoveFileExW(temporary, target, flags);
    }
    files_[i].placed = placed != FALSE;
    return placed;
}

CString FileBatch::TemporaryFor(const CString& target) {
    const int slash = target.ReverseFind(TEXT('\\'));
    const uint64_t hash = HashOf(target.Mid(slash + 1));
    WCHAR digits[kHashDigits + 1];
    for (int i = 0; i < kHashDigits; ++i) {
        digits[i] = TEXT("0123456789abcdef")[(hash >> (60 - 4 * i)) & 0xF];
    }
    digits[kHashDigits] = 0;
    return target.Left(slash + 1) + kTemporaryPrefix + digits;
}
