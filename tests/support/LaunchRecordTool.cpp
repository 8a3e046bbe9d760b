// Shows what the stand-in browser was started with, for the demo and the
// benchmarks:
//
//   launch_record FOLDER [SECONDS]
//
// waits up to SECONDS (10 by default) for the record in FOLDER, prints
//
//   working directory: DIRECTORY
//   command tail: TAIL
//
// in UTF-8, the directory as the system names it and the tail exactly as the
// browser got it, and removes the record. Exits 1 with "not started" when no
// record came.
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "platform/Utf8.h"
#include "tests/support/LaunchRecord.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fputs("usage: launch_record FOLDER [SECONDS]\n", stderr);
        return 2;
    }
#ifdef _WIN32
    // The lines end as they do on Linux, for the scripts that read them.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    LaunchRecord record;
    if (!TakeLaunchRecord(argv[1], argc > 2 ? std::atof(argv[2]) : 10, &record)) {
        std::puts("not started");
        return 1;
    }
    std::printf("working directory: %s\ncommand tail: %s\n",
                ToFsPath(record.directory).u8string().c_str(), ToUtf8(record.tail).c_str());
    return 0;
}
