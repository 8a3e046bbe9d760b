// Splitting a command line into arguments by the rules Windows programs use:
// blanks and tabs separate, double quotes group, and backslashes escape a
// double quote only when they stand right in front of it.
#pragma once

#include <cstdlib>
#include <memory>

#include "platform/Platform.h"

class ArgumentVector {
public:
    // Entry 0 is the program name, read by its own simpler rule: a quoted
    // name runs to the next quote, an unquoted one to the next blank or tab.
    static ArgumentVector FromCommandLine(LPCWSTR commandLine);
    // Arguments only, as in a parameter text handed to a program.
    static ArgumentVector FromParameters(LPCWSTR parameters);

    // False when the memory for the vector could not be had.
    bool IsValid() const { return block_ != nullptr; }
    int Count() const { return count_; }
    // Count() entries followed by a null entry.
    LPWSTR const* Values() const { return reinterpret_cast<LPWSTR const*>(block_.get()); }

private:
    struct Free {
        void operator()(void* block) const { std::free(block); }
    };

    static ArgumentVector Build(LPCWSTR text, bool withProgramName);

    // One block: the pointer array, then every argument's characters.
    std::unique_ptr<void, Free> block_;
    int count_ = 0;
};
