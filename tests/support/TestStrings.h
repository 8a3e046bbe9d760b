// Strings in tests: GoogleTest prints CStrings as UTF-8 in its failure
// messages.
#pragma once

#include <ostream>

#include "platform/String.h"

void PrintTo(const CString& text, std::ostream* out);

// The system's message for code without the white space around it, as error
// texts show it.
CString SystemMessage(DWORD code);
