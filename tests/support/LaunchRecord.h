// What the stand-in browser was started with, as it writes it down next to
// itself: its working directory, its raw command tail and its arguments.
#pragma once

#include <string>
#include <vector>

#include "tests/support/TestFiles.h"

struct LaunchRecord {
    CString directory;
    CString tail;
    std::vector<CString> arguments;
    // On Linux, the open descriptors it found beyond standard input, output
    // and error.
    std::vector<int> inherited;
};

// The file that a stand-in browser in `directory` leaves beside itself.
fs::path LaunchRecordPath(const fs::path& directory);

// UTF-8 text, a line per fact; control characters are written as \xNN so
// that every argument stays on its line and can be read.
std::string FormatLaunchRecord(const LaunchRecord& record);
LaunchRecord ParseLaunchRecord(const std::string& text);

// Waits for the record to appear (the browser runs detached from whoever
// started it); false when it has not come within the time given.
bool WaitForLaunchRecord(const fs::path& path, int seconds, LaunchRecord* record);
