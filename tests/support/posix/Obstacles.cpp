#include "tests/support/TestFiles.h"

#include <csignal>
#include <stdexcept>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

BusyFile::BusyFile(const fs::path& path) {
    fs::copy_file("/bin/sleep", path, fs::copy_options::overwrite_existing);
    std::string program = path.string();
    std::string seconds = "300";
    char* argv[] = {&program[0], &seconds[0], nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
        throw std::runtime_error("cannot run " + program);
    }
    hold_ = child;
}

BusyFile::~BusyFile() {
    kill(static_cast<pid_t>(hold_), SIGKILL);
    waitpid(static_cast<pid_t>(hold_), nullptr, 0);
}

bool MakeDirectoryLink(const fs::path& target, const fs::path& link) {
    std::error_code error;
    fs::create_directory_symlink(target, link, error);
    return !error;
}
