#include <algorithm>

#include "tests/support/FaultSeamCalls.h"

namespace {

bool armed = false;
Fault fault{Call::Copy, Failure::IoError};
int matched = 0;

// A path as a fault names it: '/' between names, without a search's
// wildcards or a trailing separator.
std::string Normalized(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.size() >= 3 && path.compare(path.size() - 3, 3, "*.*") == 0) {
        path.resize(path.size() - 3);
    }
    while (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool HasFaultSeam() {
#ifdef TAVREL_FAULT_SEAM
    return true;
#else
    return false;
#endif
}

void InjectFault(const Fault& newFault) {
    InstallWrappers();
    fault = newFault;
    matched = 0;
    armed = true;
}

void ClearFault() {
    armed = false;
}

DWORD ErrorCodeOf(Failure failure) {
    // In the order of Failure.
    const DWORD codes[] = {ERROR_ACCESS_DENIED,   ERROR_DISK_FULL,         ERROR_IO_DEVICE,
                           ERROR_NOT_SAME_DEVICE, ERROR_SHARING_VIOLATION, ERROR_INVALID_PARAMETER,
                           ERROR_NOT_SUPPORTED};
    return codes[static_cast<int>(failure)];
}

bool FaultFails(Call call, const std::string& path, Failure* failure) {
    if (!armed || call != fault.call ||
        (fault.pathEnding != nullptr && !EndsWith(Normalized(path), fault.pathEnding))) {
        return false;
    }
    const int index = matched++;
    if (index < fault.after || (fault.times >= 0 && index >= fault.after + fault.times)) {
        return false;
    }
    *failure = fault.failure;
    return true;
}
