// What the stand-in browser was started with, as it writes it down next to
// itself: its working directory, its raw command tail, the open descriptors
// it found beyond standard input, output and error (Linux; blank-separated),
// then its arguments.
#pragma once

#include <vector>

#include "tests/support/TestFiles.h"

typedef std::vector<CString> LaunchRecord;

// The file that a stand-in browser in `folder` leaves beside itself.
fs::path LaunchRecordPath(const fs::path& folder);

// Whoever waits for the record sees it whole or not at all.
void WriteLaunchRecord(const fs::path& folder, const LaunchRecord& record);

// Waits for the record in `folder` to appear (the browser runs detached from
// whoever started it); empty when none has come within the time given.
LaunchRecord WaitForLaunchRecord(const fs::path& folder, int seconds);
