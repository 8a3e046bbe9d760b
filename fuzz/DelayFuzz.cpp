// Any first parameter through the launch delay's number reader.
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "launcher/LaunchDelay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CString text(Utf16From(data, size).c_str());
    const int seconds = ReadDelaySeconds(text);
    // Only the first 19 characters are read.
    if (ReadDelaySeconds(text.Left(19)) != seconds) {
        std::abort();
    }
    const DWORD wait = DelayMilliseconds(seconds);
    const uint64_t exact = seconds > 0 ? uint64_t{1000} * seconds : 0;
    if (wait == INFINITE || wait != (exact < INFINITE ? exact : INFINITE - 1)) {
        std::abort();
    }
    return 0;
}
