#include "platform/posix/SystemCalls.h"

namespace {

// Set before any code runs: the system's calls are constants.
SystemCallTable table = {&::open,  &::write,  &::copy_file_range, &::rename,  &::renameat2,
                         &::link,  &::unlink, &::mkdir,           &::rmdir,   &::getcwd,
                         &::fsync, &::syncfs, &::lstat,           &::opendir, &::readdir};

}  // namespace

SystemCallTable& SystemCalls() {
    return table;
}
