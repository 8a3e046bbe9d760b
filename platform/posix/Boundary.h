// Where paths cross into the system: backslash paths become slash paths in
// UTF-8, and the system's paths come back the other way.
#pragma once

#include <string>

#include "platform/Utf8.h"

// \a\b -> /a/b, for every call that takes a path.
std::string ToSystemPath(LPCWSTR path);
// /a/b -> \a\b, for every path handed back to the caller.
Utf16Text FromSystemPath(const std::string& path);
