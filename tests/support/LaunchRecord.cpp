// A record is a file "launch-record-" and a number of its own: UTF-16 units,
// each field ended by a zero unit: the working directory, the tail, then for
// each file found its path and its hash in hexadecimal.
#include "tests/support/LaunchRecord.h"

#include <chrono>
#include <random>
#include <thread>

#include "platform/Utf8.h"

namespace {

const char kPrefix[] = "launch-record-";
const char kPartial[] = ".partial";

typedef std::basic_string<WCHAR> Units;

bool IsRecordName(const std::string& name) {
    return name.compare(0, sizeof(kPrefix) - 1, kPrefix) == 0;
}

void Append(Units& units, const CString& text) {
    units.append(text, text.GetLength());
    units += WCHAR(0);
}

CString Field(const Units& units, size_t* start) {
    const size_t end = std::min(units.find(WCHAR(0), *start), units.size());
    const CString field(units.data() + *start, static_cast<int>(end - *start));
    *start = end + 1;
    return field;
}

CString FromAscii(const std::string& text) {
    return FromUtf8(text).c_str();
}

}  // namespace

const WCHAR kRecordFiles[] = TEXT("record-files");

// Records come and go as browsers start: they are passed over unread.
Contents ContentsOf(const fs::path& root) {
    Contents contents;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).generic_string();
        if (!IsRecordName(name) && !entry.is_directory()) {
            contents[name] = std::hash<std::string>()(ReadFile(entry.path()));
        }
    }
    return contents;
}

void WriteLaunchRecord(const fs::path& folder, const LaunchRecord& record) {
    Units units;
    Append(units, record.directory);
    Append(units, record.tail);
    for (const auto& [path, hash] : record.files) {
        Append(units, FromUtf8(path).c_str());
        Append(units, FromAscii(std::to_string(hash)));
    }
    const fs::path name = folder / (kPrefix + std::to_string(std::random_device()()));
    const fs::path partial = fs::path(name) += kPartial;
    WriteFile(partial, std::string(reinterpret_cast<const char*>(units.data()),
                                   units.size() * sizeof(WCHAR)));
    fs::rename(partial, name);
}

bool TakeLaunchRecord(const fs::path& folder, double seconds, LaunchRecord* record) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    fs::path found;
    std::string bytes;
    for (;;) {
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
            const std::string name = entry.path().filename().string();
            if (IsRecordName(name) && name.find(kPartial) == std::string::npos) {
                found = entry.path();
                bytes = ReadFile(found);
                break;
            }
        }
        // A record read empty is read again: under Wine, on a busy machine,
        // one was once read so just after it was renamed into place.
        if (!bytes.empty()) {
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    fs::remove(found);
    Units units(bytes.size() / sizeof(WCHAR), WCHAR(0));
    bytes.copy(reinterpret_cast<char*>(&units[0]), units.size() * sizeof(WCHAR));
    size_t start = 0;
    record->directory = Field(units, &start);
    record->tail = Field(units, &start);
    record->files.clear();
    while (start < units.size()) {
        const std::string path = ToUtf8(Field(units, &start));
        record->files[path] = std::stoull(ToUtf8(Field(units, &start)));
    }
    return true;
}
