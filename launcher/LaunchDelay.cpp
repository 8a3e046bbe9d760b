#include "launcher/LaunchDelay.h"

#include <algorithm>
#include <cstdint>

const WCHAR kLaunchDelaySwitch[] = TEXT("-wkesto ");

namespace {

const int kReaderCapacity = 19;

bool IsDigit(WCHAR c) {
    return c >= TEXT('0') && c <= TEXT('9');
}

}  // namespace

LaunchPlan PlanLaunch(const CString& firstParameter, const CString& commandTail) {
    if (firstParameter.IsEmpty()) {
        return {FALSE, 0};
    }
    if (commandTail.Find(kLaunchDelaySwitch) < 0) {
        return {TRUE, 0};
    }
    return {FALSE, DelayMilliseconds(ReadDelaySeconds(firstParameter))};
}

int ReadDelaySeconds(const CString& firstParameter) {
    const CString text = firstParameter.Left(kReaderCapacity);
    const int length = text.GetLength();
    int i = 0;
    while (i < length && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < length && (text[i] == TEXT('-') || text[i] == TEXT('+'))) {
        negative = text[i] == TEXT('-');
        ++i;
    }
    uint32_t value = 0;
    for (; i < length && IsDigit(text[i]); ++i) {
        value = value * 10 + static_cast<uint32_t>(text[i] - TEXT('0'));
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<int>(value);
}

DWORD DelayMilliseconds(int seconds) {
    const uint64_t longestFiniteWait = INFINITE - 1;
    return static_cast<DWORD>(
        std::min<uint64_t>(uint64_t{1000} * std::max(seconds, 0), longestFiniteWait));
}
