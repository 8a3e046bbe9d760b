// Running a program to its end, with its output caught, for end-to-end
// tests.
#pragma once

#include <string>
#include <vector>

#include "tests/support/TestFiles.h"

struct RunResult {
    int exitCode = -1;
    // Everything the program wrote to its standard output and error.
    std::string output;
    double seconds = 0;
};

// Starts `program` with `arguments` in `directory` and waits for it. The
// command line it gets is the one that splits back into those arguments.
RunResult RunProgram(const fs::path& program, const std::vector<CString>& arguments,
                     const fs::path& directory);

// The command line with which RunProgram starts a program: the quoted
// program name and arguments, blank-separated.
CString CommandLineFor(const fs::path& program, const std::vector<CString>& arguments);

// The part of CommandLineFor after the program name.
CString CommandTailFor(const std::vector<CString>& arguments);
