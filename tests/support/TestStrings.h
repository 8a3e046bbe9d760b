// Lets GoogleTest print CStrings (as UTF-8) in its failure messages.
#pragma once

#include <ostream>

#include "platform/String.h"

void PrintTo(const CString& text, std::ostream* out);
