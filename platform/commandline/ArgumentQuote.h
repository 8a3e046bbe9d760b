// Writing arguments into one command line so that ArgumentVector reads them
// back unchanged: the inverse of the split, for systems that hand a process
// its arguments already separated.
#pragma once

#include <string>

#include "platform/Platform.h"

typedef std::basic_string<WCHAR> ArgumentText;

// Unchanged when the splitter would read it as it stands; otherwise wrapped
// in quotes, with a quote written as \" and the backslashes in front of a
// quote (or of the closing quote) doubled.
ArgumentText QuoteArgument(const ArgumentText& argument);

// The program name has no escapes: it is wrapped in quotes when it would
// otherwise end early, and a double quote inside it cannot be kept.
ArgumentText QuoteProgramName(const ArgumentText& name);
