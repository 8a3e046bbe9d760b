// What the fault seam's wrappers of each system share with the rest of it.
#pragma once

#include <string>

#include "tests/support/FaultSeam.h"

// Whether the call, on path (empty for a call on an open file), fails now;
// counts it when it matches the fault. The failure is the fault's.
bool FaultFails(Call call, const std::string& path, Failure* failure);

// Puts the wrappers into the system-call table, once.
void InstallWrappers();
