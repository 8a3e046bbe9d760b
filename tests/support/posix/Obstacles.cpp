#include "tests/support/TestFiles.h"

#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <linux/fs.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Sets or clears the file's immutable flag; false where it cannot be.
bool SetImmutable(const fs::path& path, bool immutable) {
    const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    int flags = 0;
    const bool set = file >= 0 && ioctl(file, FS_IOC_GETFLAGS, &flags) == 0 &&
                     (flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL,
                      ioctl(file, FS_IOC_SETFLAGS, &flags) == 0);
    if (file >= 0) {
        close(file);
    }
    return set;
}

}  // namespace

BusyFile::BusyFile(const fs::path& path, Kind kind) : path_(path), kind_(kind) {
    if (kind == kLocked) {
        hold_ = SetImmutable(path, true) ? 1 : 0;
        return;
    }
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
    if (kind_ == kLocked) {
        if (IsHeld()) {
            SetImmutable(path_, false);
        }
        return;
    }
    kill(static_cast<pid_t>(hold_), SIGKILL);
    waitpid(static_cast<pid_t>(hold_), nullptr, 0);
}

bool MakeLink(const fs::path& target, const fs::path& link) {
    std::error_code error;
    fs::create_symlink(target, link, error);
    return !error;
}
