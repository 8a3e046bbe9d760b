// Process facts as Windows presents them: one command-line string, the
// executable's path, start-up information, the error mode and sleeping.
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>

#include <limits.h>
#include <sys/auxv.h>
#include <unistd.h>

#include "platform/commandline/ArgumentQuote.h"
#include "platform/posix/Boundary.h"
#include "platform/posix/Error.h"

namespace {

UINT errorMode = 0;

// What the process was started with, kept before any of its own code runs:
// the C library hands the arguments to the program's initialisers, and the
// current directory is still the one that a relative program path given to
// exec was read against. Nothing here needs /proc, which some systems lack.
int startArgumentCount = 0;
char** startArguments = nullptr;
char* startDirectory = nullptr;

void KeepStart(int count, char** arguments, char**) {
    startArgumentCount = count;
    startArguments = arguments;
    // Plain malloc: nothing is thrown here, even without memory.
    startDirectory = getcwd(nullptr, 0);
}

__attribute__((section(".init_array"), used)) void (*const keepStart)(int, char**,
                                                                      char**) = KeepStart;

// Linux hands the process its arguments already split; they are joined into
// the one line that splits back into exactly the same arguments.
Utf16Text BuildCommandLine() {
    if (startArgumentCount == 0) {
        return Utf16Text();
    }
    Utf16Text line = QuoteProgramName(FromUtf8(startArguments[0]));
    for (int i = 1; i < startArgumentCount; ++i) {
        line += u' ';
        line += QuoteArgument(FromUtf8(startArguments[i]));
    }
    return line;
}

// The kernel names no link target longer than PATH_MAX; one that fills the
// buffer may have been cut, and is no path.
std::string ReadLink(const char* link) {
    std::string target(PATH_MAX, '\0');
    const ssize_t length = readlink(link, &target[0], target.size());
    if (length < 0 || static_cast<size_t>(length) == target.size()) {
        return std::string();
    }
    target.resize(length);
    return target;
}

// The path that exec was given, made absolute against the start directory,
// with its links resolved as /proc/self/exe has them.
std::string ExecutedPath() {
    const char* executed = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
    if (executed == nullptr || *executed == 0) {
        return std::string();
    }
    std::string path = executed;
    if (path[0] != '/') {
        if (startDirectory == nullptr) {
            return std::string();
        }
        path = std::string(startDirectory) + "/" + path;
    }
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return std::string();
    }
    path = resolved;
    free(resolved);
    return path;
}

// The running executable's path, or empty when no route gives it.
std::string ExecutablePath() {
    const std::string path = ReadLink("/proc/self/exe");
    return path.empty() ? ExecutedPath() : path;
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
    const std::string target = ExecutablePath();
    if (target.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
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

// INFINITE is waited for as the longest finite wait, 49 days.
void Sleep(DWORD milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
