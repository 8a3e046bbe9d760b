// Process facts as Windows presents them: one command-line string, the
// executable's path, start-up information, the error mode and sleeping.
#include <cerrno>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <limits.h>
#include <unistd.h>

#include "platform/commandline/ArgumentQuote.h"
#include "platform/posix/Boundary.h"
#include "platform/posix/Error.h"

namespace {

UINT errorMode = 0;

std::vector<std::string> ReadOwnArguments() {
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    size_t start = 0;
    while (start < all.size()) {
        const size_t end = all.find('\0', start);
        arguments.push_back(all.substr(start, end - start));
        start = end == std::string::npos ? all.size() : end + 1;
    }
    return arguments;
}

// Linux hands the process its arguments already split; they are joined into
// the one line that splits back into exactly the same arguments.
Utf16Text BuildCommandLine() {
    const std::vector<std::string> arguments = ReadOwnArguments();
    if (arguments.empty()) {
        return Utf16Text();
    }
    Utf16Text line = QuoteProgramName(FromUtf8(arguments[0]));
    for (size_t i = 1; i < arguments.size(); ++i) {
        line += u' ';
        line += QuoteArgument(FromUtf8(arguments[i]));
    }
    return line;
}

}  // namespace

LPWSTR GetCommandLineW() {
    static Utf16Text commandLine = BuildCommandLine();
    return &commandLine[0];
}

void GetStartupInfoW(LPSTARTUPINFOW info) {
    info->cb = sizeof(STARTUPINFOW);
    info->dwFlags = 0;
    info->wShowWindow = 0;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
    if (module != nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::string target(PATH_MAX, '\0');
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", &target[0], target.size());
        if (length < 0) {
            FailWithErrno();
            return 0;
        }
        if (static_cast<size_t>(length) < target.size()) {
            target.resize(length);
            break;
        }
        target.resize(target.size() * 2);
    }
    const Utf16Text path = FromSystemPath(target);
    if (size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // As on Windows: a path that does not fit is cut, terminated, and
    // reported with the full buffer size and ERROR_INSUFFICIENT_BUFFER.
    const bool fits = path.size() < size;
    const size_t copied = fits ? path.size() : size - 1;
    path.copy(buffer, copied);
    buffer[copied] = 0;
    SetLastError(fits ? ERROR_SUCCESS : ERROR_INSUFFICIENT_BUFFER);
    return fits ? static_cast<DWORD>(copied) : size;
}

UINT SetErrorMode(UINT mode) {
    const UINT previous = errorMode;
    errorMode = mode;
    return previous;
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == INFINITE) {
        for (;;) {
            pause();
        }
    }
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
