// Starting a program the way the shell's "open" verb does: detached, in the
// given working directory, with the parameter text split into arguments by
// the same rules that built it.
#include <cerrno>
#include <string>
#include <vector>

#include <limits.h>
#include <spawn.h>
#include <unistd.h>

#include "platform/commandline/ArgumentVector.h"
#include "platform/posix/Boundary.h"
#include "platform/posix/Error.h"

extern char** environ;

namespace {

const INT_PTR kStarted = 42;

bool IsOpenVerb(LPCWSTR operation) {
    return operation == nullptr || Utf16Text(operation) == u"open";
}

// A relative program path names a file below the current directory, as on
// Windows, whatever working directory the program is then given.
std::string AbsoluteProgramPath(LPCWSTR file) {
    std::string path = ToSystemPath(file);
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    std::string current(PATH_MAX, '\0');
    if (getcwd(&current[0], current.size()) == nullptr) {
        return path;
    }
    current.resize(current.find('\0'));
    return current + "/" + path;
}

HINSTANCE Failure(int error) {
    const DWORD code = Win32ErrorFromErrno(error);
    SetLastError(code);
    return reinterpret_cast<HINSTANCE>(
        static_cast<INT_PTR>(code <= 32 ? code : SE_ERR_ACCESSDENIED));
}

}  // namespace

HINSTANCE ShellExecuteW(HWND, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT) {
    if (!IsOpenVerb(operation)) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_NOASSOC));
    }
    if (file == nullptr || *file == 0) {
        return Failure(ENOENT);
    }
    const std::string program = AbsoluteProgramPath(file);
    const ArgumentVector split = ArgumentVector::FromParameters(parameters ? parameters : u"");
    if (!split.IsValid()) {
        return Failure(ENOMEM);
    }
    std::vector<std::string> arguments{program};
    for (int i = 0; i < split.Count(); ++i) {
        arguments.push_back(ToUtf8(split.Values()[i]));
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // As from the shell on Windows, the program gets none of its starter's
    // open files beyond standard input, output and error.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (directory != nullptr && *directory != 0) {
        posix_spawn_file_actions_addchdir_np(&actions, ToSystemPath(directory).c_str());
    }
    // Its own session: the program outlives the launcher and its terminal.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child;
    const int error =
        posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        return Failure(error);
    }
    SetLastError(ERROR_SUCCESS);
    return reinterpret_cast<HINSTANCE>(kStarted);
}
