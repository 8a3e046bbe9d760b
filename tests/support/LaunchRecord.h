// What the stand-in browser leaves in its folder when it starts: its working
// directory, its raw command tail and, when the tail asks for it with
// kRecordFiles, every file it finds in its folder. Each start leaves a
// record of its own. The tests read them through here, and the demo and the
// benchmarks through the launch_record program, so that a record has one
// form and one name wherever it is written or read.
#pragma once

#include <map>

#include "tests/support/TestFiles.h"

// Each file's hash by its path below a folder ('/' between names); folders,
// and the records that stand-in browsers leave, left out.
typedef std::map<std::string, size_t> Contents;
Contents ContentsOf(const fs::path& root);

// An argument that asks the stand-in browser to record the files it finds:
// a plain one, as a document's name is, which the launcher forwards.
extern const WCHAR kRecordFiles[];

struct LaunchRecord {
    CString directory;
    CString tail;
    Contents files;
};

// Leaves a record in folder, whole or not at all: it is written under
// another name first.
void WriteLaunchRecord(const fs::path& folder, const LaunchRecord& record);

// Waits up to `seconds` for a record in folder, reads it and removes it;
// false when none came. A browser runs detached from what started it.
bool TakeLaunchRecord(const fs::path& folder, double seconds, LaunchRecord* record);
