// Any first parameter through the launch delay's number reader, and any
// number of seconds through the delay. The properties need no second reader:
// only the first 19 characters are read; a number written out in decimal,
// blanks before it, reads back as itself; a longer delay is never a shorter
// wait; a wait is whole seconds, or the longest finite one, never endless.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/FuzzInput.h"
#include "launcher/LaunchDelay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CString text(Utf16From(data, size).c_str());
    if (ReadDelaySeconds(text.Left(19)) != ReadDelaySeconds(text)) {
        std::abort();
    }
    int32_t numbers[2] = {0, 0};
    std::memcpy(numbers, data, std::min(size, sizeof(numbers)));
    const std::string written = " \t" + std::to_string(numbers[0]);
    if (ReadDelaySeconds(std::basic_string<WCHAR>(written.begin(), written.end()).c_str()) !=
        numbers[0]) {
        std::abort();
    }
    const DWORD shorter = DelayMilliseconds(std::min(numbers[0], numbers[1]));
    const DWORD longer = DelayMilliseconds(std::max(numbers[0], numbers[1]));
    const bool whole =
        longer % 1000 == 0 && longer / 1000 == uint32_t(std::max(numbers[0], numbers[1]));
    if (shorter > longer || longer == INFINITE ||
        (numbers[1] <= 0 && numbers[0] <= 0 && longer != 0) ||
        (longer > 0 && !whole && longer != INFINITE - 1)) {
        std::abort();
    }
    return 0;
}
