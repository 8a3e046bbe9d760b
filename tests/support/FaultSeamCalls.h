// What the fault seam's wrappers of each system share with the rest of it.
#pragma once

#include <string>
#include <tuple>

#include "tests/support/FaultSeam.h"

// Whether the call, on path (empty for a call on an open file), fails now;
// counts it when it matches the fault. The failure is the fault's.
bool FaultFails(Call call, const std::string& path, Failure* failure);

// Puts the wrappers into the system-call table, once.
void InstallWrappers();

// A path argument as a fault names it: UTF-8.
#ifdef _WIN32
std::string PathText(LPCWSTR path);
#else
std::string PathText(const char* path);
#endif

// The call's argument at `index` as a path, or none when index is negative.
template <int index, typename... Arguments>
std::string PathArgument(Arguments... arguments) {
    if constexpr (index < 0) {
        return std::string();
    } else {
        return PathText(std::get<index>(std::make_tuple(arguments...)));
    }
}

// A wrapper as a table entry: a function of the system call's own type. (A
// wrapper is noexcept, as the C library declares most of its calls for C++.)
template <typename Result, typename... Arguments, typename Wrapper>
auto AsEntry(Result (*)(Arguments...), Wrapper wrapper) {
    return static_cast<Result (*)(Arguments...) noexcept>(wrapper);
}

// In InstallWrappers, with the system's calls kept in `real`: the table's
// entry `name` asks Fails(call, path) before each call, the path being its
// argument at `pathIndex` (none when negative), and answers `failed` without
// making the call when it must fail. Fails sets the error as the system does.
#define WRAP_SYSTEM_CALL(name, call, pathIndex, failed)                                      \
    calls.name = AsEntry(calls.name, [](auto... arguments) noexcept {                        \
        return Fails(call, PathArgument<pathIndex>(arguments...)) ? failed                   \
                                                                  : real.name(arguments...); \
    })
