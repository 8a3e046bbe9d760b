// The launcher without its waits for stable storage, for the benchmark to
// tell what they cost: its flushes are turned into no-ops through the test
// builds' system-call table before it starts.
#include "platform/posix/SystemCalls.h"

namespace {

// noexcept, as the C library declares its calls for C++.
int NoFlush(int) noexcept {
    return 0;
}

const bool kFlushesTurnedOff = [] {
    SystemCalls().fsync = NoFlush;
    SystemCalls().syncfs = NoFlush;
    return true;
}();

}  // namespace
