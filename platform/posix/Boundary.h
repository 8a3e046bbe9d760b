// Where paths cross into the system: backslash paths become slash paths in
// UTF-8, and the system's paths come back the other way.
//
// A Linux name may hold characters that a Windows name cannot: \ : * ? " < >
// and |. Read as they are, a backslash would split one name into several and
// the others would pass for a drive or a wildcard. Each is shown instead as
// the private code point U+F000 plus the character (the convention of Cygwin
// and of WSL's bridge to Windows files) and becomes the same byte again on the
// way back, so a name is always one component. The UTF-8 form of such a code
// point in a real name is kept as its bytes (U+DC80 plus each byte), so that
// it cannot turn into the character it stands for either.
#pragma once

#include <string>

#include "platform/Utf8.h"

// \a\b -> /a/b, for every call that takes a path.
std::string ToSystemPath(LPCWSTR path);
// /a/b -> \a\b, for every path (or name) handed back to the caller.
Utf16Text FromSystemPath(const std::string& path);

// A system path without the slashes at its end (but the root's).
std::string WithoutTrailingSlashes(std::string path);
// The folder that holds what path names: "." for a name alone.
std::string ParentOf(const std::string& path);
