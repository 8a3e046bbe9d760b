#include "disk/BatchRecord.h"

#include <algorithm>
#include <utility>

#include "disk/FileSearch.h"
#include "platform/ScopedHandle.h"

namespace {

const WCHAR kTemporaryPrefix[] = TEXT(".tavrel-");
const int kTemporaryPrefixLength = 8;
const int kHashDigits = 16;

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

uint64_t HashOf(const CString& text) {
    return Fnv(text, text.GetLength());
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

// What the names beside a file called `name` stand for: its new content and
// its old content; and the record's two names.
uint64_t NewContentHash(const CString& name) {
    return HashOf(name);
}

uint64_t KeptContentHash(const CString& name) {
    return HashOf(TEXT("kept:") + name);
}

uint64_t RecordHash() {
    return HashOf(TEXT("record:"));
}

uint64_t DoneRecordHash() {
    return HashOf(TEXT("done:"));
}

// Whether name is of the temporaries' form, and the hash it stands for.
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

// A record: for each target, whether it is replaced or added, and its path
// below the batch's folder, each ended by a zero unit; then the check of all
// of it, four units.
Units Encode(const RecordedTargets& targets) {
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

// The targets of a whole record; false for anything else.
bool Decode(const Units& units, RecordedTargets* targets) {
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

int FirstConflict(const CStringArray& names) {
    // Every name the batch may give a file beside these, with the index of
    // the name it comes from (-1 for the batch's records).
    std::vector<std::pair<uint64_t, int>> given = {{RecordHash(), -1}, {DoneRecordHash(), -1}};
    std::vector<std::pair<uint64_t, int>> temporaryNames;
    for (int i = 0; i < names.GetSize(); ++i) {
        given.emplace_back(NewContentHash(names[i]), i);
        given.emplace_back(KeptContentHash(names[i]), i);
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

CString TemporaryFor(const CString& target) {
    return NameBeside(target, NewContentHash(NameOf(target)));
}

CString KeptFor(const CString& target) {
    return NameBeside(target, KeptContentHash(NameOf(target)));
}

CString RecordFor(const CString& root) {
    return NameBeside(root, RecordHash());
}

CString DoneRecordFor(const CString& root) {
    return NameBeside(root, DoneRecordHash());
}

BOOL WriteRecord(const CString& path, const RecordedTargets& targets) {
    const Units units = Encode(targets);
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

RecordReading ReadRecord(const CString& path, RecordedTargets* targets) {
    const FileSearch entry(path);
    if (!entry.IsOpen()) {
        return kRecordAbsent;
    }
    if (entry.IsDirectory() || entry.IsLink() || entry.IsDevice()) {
        return kNoRecord;
    }
    Units units;
    if (!ReadWholeFile(path, &units)) {
        return kRecordUnreadable;
    }
    return Decode(units, targets) ? kRecordRead : kNoRecord;
}
