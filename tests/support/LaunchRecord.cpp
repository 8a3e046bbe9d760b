// The record's form: the working directory's UTF-16 units and a zero unit,
// then the tail's units and a zero unit.
#include "tests/support/LaunchRecord.h"

#include <chrono>
#include <thread>

namespace {

const char kName[] = "launch-record";
const char kPartialName[] = "launch-record.partial";

void Append(std::string& bytes, const CString& text) {
    bytes.append(reinterpret_cast<const char*>(static_cast<LPCWSTR>(text)),
                 (text.GetLength() + 1) * sizeof(WCHAR));
}

}  // namespace

bool IsLaunchRecordName(const std::string& name) {
    return name == kName || name == kPartialName;
}

void WriteLaunchRecord(const fs::path& folder, const LaunchRecord& record) {
    std::string bytes;
    Append(bytes, record.directory);
    Append(bytes, record.tail);
    WriteFile(folder / kPartialName, bytes);
    fs::rename(folder / kPartialName, folder / kName);
}

bool TakeLaunchRecord(const fs::path& folder, double seconds, LaunchRecord* record) {
    const fs::path path = folder / kName;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!fs::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const std::string bytes = ReadFile(path);
    fs::remove(path);
    std::basic_string<WCHAR> units(bytes.size() / sizeof(WCHAR), WCHAR(0));
    bytes.copy(reinterpret_cast<char*>(&units[0]), units.size() * sizeof(WCHAR));
    const size_t end = units.find(WCHAR(0));
    record->directory = units.substr(0, end).c_str();
    record->tail = end < units.size() ? units.substr(end + 1).c_str() : TEXT("");
    return true;
}
