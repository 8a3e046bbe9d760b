// An open file descriptor, closed when the object goes.
#pragma once

#include <unistd.h>

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (IsOpen()) {
            close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    // Descriptor 0 is a file like any other: a process started without
    // standard input gets it for the first file it opens.
    bool IsOpen() const { return fd_ >= 0; }
    int get() const { return fd_; }
    // Hands the descriptor over: the object no longer closes it.
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};
