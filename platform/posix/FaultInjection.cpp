#include "platform/posix/FaultInjection.h"

#include <unistd.h>

namespace {

bool armed = false;
Fault fault{FaultPoint::CopyFile, 0};
std::basic_string<WCHAR> ending;
int passed = 0;
std::vector<FileCall>* recorded = nullptr;
int callsBeforeEnd = -1;

bool ChangesFiles(FaultPoint point) {
    return point != FaultPoint::FindFirstFile && point != FaultPoint::FindNextFile &&
           point != FaultPoint::SetCurrentDirectory;
}

bool EndsWith(LPCWSTR path, const std::basic_string<WCHAR>& tail) {
    const std::basic_string<WCHAR> text(path);
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

void InjectFault(const Fault& newFault) {
    fault = newFault;
    ending = newFault.pathEnding != nullptr ? newFault.pathEnding : u"";
    passed = 0;
    armed = true;
}

void ClearFault() {
    armed = false;
}

void RecordFileCalls(std::vector<FileCall>* calls) {
    recorded = calls;
}

void EndProcessAtCall(int n) {
    callsBeforeEnd = n;
}

bool FaultInjected(FaultPoint point, LPCWSTR path) {
    if (ChangesFiles(point) && callsBeforeEnd >= 0 && callsBeforeEnd-- == 0) {
        _exit(kEndedAtCall);
    }
    if (recorded != nullptr) {
        recorded->push_back({point, path});
    }
    if (!armed || point != fault.point || !EndsWith(path, ending)) {
        return false;
    }
    if (passed < fault.after) {
        ++passed;
        return false;
    }
    if (fault.failures >= 0 && passed++ >= fault.after + fault.failures) {
        return false;
    }
    SetLastError(fault.error);
    return true;
}
