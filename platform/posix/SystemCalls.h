// The system calls with which the layer reads, changes and searches the file
// system. Test builds (TAVREL_FAULT_SEAM) make each through a table that a
// test may change, in the manner of SQLite's: a fault then enters as the
// system gives it, an errno, and meets the same mapping and the same code as
// a real one. The programs to ship call the system directly.
#pragma once

#include <cstdio>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef TAVREL_FAULT_SEAM
struct SystemCallTable {
    decltype(&::open) open;
    decltype(&::write) write;
    decltype(&::copy_file_range) copy_file_range;
    decltype(&::rename) rename;
    decltype(&::renameat2) renameat2;
    decltype(&::link) link;
    decltype(&::unlink) unlink;
    decltype(&::mkdir) mkdir;
    decltype(&::rmdir) rmdir;
    decltype(&::getcwd) getcwd;
    decltype(&::fsync) fsync;
    decltype(&::syncfs) syncfs;
    decltype(&::lstat) lstat;
    decltype(&::opendir) opendir;
    decltype(&::readdir) readdir;
};
// The table, holding the system's own calls until a test changes them.
SystemCallTable& SystemCalls();
#define SYSTEM_CALL(name) (SystemCalls().name)
#else
#define SYSTEM_CALL(name) (::name)
#endif
