// Starting a Windows program with an exact command line, whatever the
// quoting rules would make of it.
#pragma once

#include "tests/support/Process.h"

RunResult RunRawCommandLine(const fs::path& program, const CString& commandLine,
                            const fs::path& directory);
