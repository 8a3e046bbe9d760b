// What the stand-in browser leaves in its folder when it starts: its working
// directory and its raw command tail. The tests read it through here, and the
// demo and the benchmarks through the launch_record program, so the record
// has one form and one name wherever it is written or read.
#pragma once

#include "tests/support/TestFiles.h"

struct LaunchRecord {
    CString directory;
    CString tail;
};

// Whether a name below a data folder is a record, or a part of one being
// written; such files are no part of an install.
bool IsLaunchRecordName(const std::string& name);

// Leaves the record in folder, whole or not at all: it is written under
// another name first.
void WriteLaunchRecord(const fs::path& folder, const LaunchRecord& record);

// Waits up to `seconds` for the record in folder, reads it and removes it;
// false when none came. A browser runs detached from what started it.
bool TakeLaunchRecord(const fs::path& folder, double seconds, LaunchRecord* record);
