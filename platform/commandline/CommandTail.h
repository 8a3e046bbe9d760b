// The raw command tail: the exact text that follows the program name in a
// process command line, as the starter wrote it.
#pragma once

#include "platform/Platform.h"

// Returns a pointer into commandLine, never null: the tail may be empty.
// A quoted program name ends at its closing quote, even with text right
// behind it; an unquoted one at the first code unit of 0x20 or less. Every
// code unit of 0x20 or less that follows is skipped.
LPCWSTR FindCommandTail(LPCWSTR commandLine);
