#include "tests/support/LaunchRecord.h"

#include <chrono>
#include <thread>

// Each text as its UTF-16 code units, exactly, ended by a zero unit.
fs::path LaunchRecordPath(const fs::path& folder) {
    return folder / "launch-record.txt";
}

void WriteLaunchRecord(const fs::path& folder, const LaunchRecord& record) {
    std::basic_string<WCHAR> units;
    for (const CString& text : record) {
        units.append(static_cast<LPCWSTR>(text), text.GetLength() + 1);
    }
    fs::path partial = LaunchRecordPath(folder);
    partial += ".partial";
    WriteFile(partial, std::string(reinterpret_cast<const char*>(units.data()),
                                   units.size() * sizeof(WCHAR)));
    fs::rename(partial, LaunchRecordPath(folder));
}

LaunchRecord WaitForLaunchRecord(const fs::path& folder, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!fs::exists(LaunchRecordPath(folder))) {
        if (std::chrono::steady_clock::now() > deadline) {
            return LaunchRecord();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const std::string bytes = ReadFile(LaunchRecordPath(folder));
    const std::basic_string<WCHAR> units(reinterpret_cast<const WCHAR*>(bytes.data()),
                                         bytes.size() / sizeof(WCHAR));
    LaunchRecord record;
    for (size_t start = 0, end; (end = units.find(WCHAR(0), start)) != units.npos;
         start = end + 1) {
        record.push_back(CString(units.c_str() + start, static_cast<int>(end - start)));
    }
    return record;
}
