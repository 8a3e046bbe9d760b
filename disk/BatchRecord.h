// What a file batch (FileBatch.h) writes beside its files: the names it
// gives them, and the record of what it replaces and adds.
//
// Every name is made from a hash of what it stands for: a target's name for
// its new content (its temporary), the same with "kept:" in front for its old
// content, "record:" and "done:" for the record before and after the batch is
// marked done. Each is ".tavrel-" and 16 hexadecimal digits, beside what it
// stands for, the same each time, so that what a batch cut off left is met
// again by the next one. No file name holds a colon (a Linux name shows it as
// another code point), so none is given the name of one of the batch's own.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/StringArray.h"

// Among the names of the files of one folder, the index of the first one
// that cannot be told from another or from a batch's own files (its name is
// one of their names, or two give one such name), or -1. Neither may be
// written before the other is refused.
int FirstConflict(const CStringArray& names);

// The names beside a target (a path) for its new and its old content.
CString TemporaryFor(const CString& target);
CString KeptFor(const CString& target);
// The record's names in the batch's folder root (with its backslash).
CString RecordFor(const CString& root);
CString DoneRecordFor(const CString& root);

// Each target's path below the batch's folder, and whether the batch
// replaces it (or adds it).
typedef std::vector<std::pair<CString, bool>> RecordedTargets;

// A new file at path holding the targets and a check of them, handed over
// to be made durable; never written through a link. FALSE, with the last
// error set, when it cannot be.
BOOL WriteRecord(const CString& path, const RecordedTargets& targets);

enum RecordReading {
    // Nothing under its name.
    kRecordAbsent,
    // The whole record, read into the targets.
    kRecordRead,
    // A file that cannot be read now, which may still tell what to finish or
    // undo; the last error set.
    kRecordUnreadable,
    // Not a record that anything acted on: one cut off before it was sealed,
    // or something else under its name (a link, a folder, a device).
    kNoRecord,
};
RecordReading ReadRecord(const CString& path, RecordedTargets* targets);
