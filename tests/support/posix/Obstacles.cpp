#include "tests/support/Obstacles.h"

#include <csignal>
#include <stdexcept>

#include <spawn.h>
#include <sys/wait.h>

#include "platform/Utf8.h"
#include "platform/posix/FaultInjection.h"

extern char** environ;

struct BusyFile::Hold {
    pid_t program;
};

BusyFile::BusyFile(const fs::path& path) : hold_(new Hold) {
    fs::copy_file("/bin/sleep", path, fs::copy_options::overwrite_existing);
    std::string program = path.string();
    std::string seconds = "300";
    char* argv[] = {&program[0], &seconds[0], nullptr};
    if (posix_spawn(&hold_->program, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
        throw std::runtime_error("cannot run " + program);
    }
}

BusyFile::~BusyFile() {
    kill(hold_->program, SIGKILL);
    waitpid(hold_->program, nullptr, 0);
}

DWORD BusyFile::Error() const {
    return ERROR_ACCESS_DENIED;
}

struct UndeletableFile::Hold {
    Utf16Text name;
};

UndeletableFile::UndeletableFile(const fs::path& path) : hold_(new Hold) {
    hold_->name = path.filename().u16string();
    InjectFault({FaultPoint::DeleteFile, ERROR_ACCESS_DENIED, hold_->name.c_str()});
}

UndeletableFile::~UndeletableFile() {
    ClearFault();
}

DWORD UndeletableFile::Error() const {
    return ERROR_ACCESS_DENIED;
}

bool MakeDirectoryLink(const fs::path& target, const fs::path& link) {
    std::error_code error;
    fs::create_directory_symlink(target, link, error);
    return !error;
}
