// Which file a path names: the same file may have several names (hard
// links), which share its content and its attributes.
#pragma once

#include "platform/String.h"

// The file at path itself (a link is not followed), without opening it for
// reading or writing; all zero when it cannot be had.
BY_HANDLE_FILE_INFORMATION InformationOf(const CString& path);

// Whether the file at target is the source, told by its information: one
// file under two names. A source that has no other name is not the target.
bool IsSameFile(const BY_HANDLE_FILE_INFORMATION& source, const CString& target);
