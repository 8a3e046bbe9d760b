// Times the disk helper on real trees (Linux only; bench/run.sh drives it):
//
//   disk_bench copy-remove SOURCE_DIR WORK_DIR
//       CopyTree of SOURCE_DIR to WORK_DIR/copy, then RemoveTree of the copy
//   disk_bench list DIR
//       ListFiles of DIR, names only
//
// Prints one "name value" line per figure, times in seconds, and exits
// nonzero with the helper's error text when a call fails.
#include <chrono>
#include <cstdio>
#include <string>

#include "disk/DiskObject.h"
#include "platform/Utf8.h"
#include "platform/posix/Boundary.h"

namespace {

// A Linux path the way the helper takes it: /a/b/ is \a\b.
CString HelperPath(const std::string& path) {
    const Utf16Text text = FromSystemPath(WithoutTrailingSlashes(path));
    return CString(text.c_str(), static_cast<int>(text.size()));
}

class Stopwatch {
public:
    double Seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point start_ = Clock::now();
};

int Fail(const CDiskObject& disk, const char* call) {
    std::fprintf(stderr, "disk_bench: %s failed: %s\n", call, ToUtf8(disk.m_errorText).c_str());
    return 1;
}

int CopyRemove(const CString& source, const CString& work) {
    const CString copy = work + TEXT("\\copy");
    CDiskObject disk;
    const Stopwatch copying;
    if (!disk.CopyTree(source, copy, TRUE)) {
        return Fail(disk, "CopyTree");
    }
    const double copySeconds = copying.Seconds();
    const Stopwatch removing;
    if (!disk.RemoveTree(copy)) {
        return Fail(disk, "RemoveTree");
    }
    const double removeSeconds = removing.Seconds();
    std::printf("copy %.6f\nremove %.6f\n", copySeconds, removeSeconds);
    return 0;
}

int List(const CString& directory) {
    CDiskObject disk;
    CStringArray names;
    const Stopwatch listing;
    if (!disk.ListFiles(directory, names, NamesOnly)) {
        return Fail(disk, "ListFiles");
    }
    const double seconds = listing.Seconds();
    std::printf("files %d\nlist %.6f\n", names.GetSize(), seconds);
    return 0;
}

int Usage() {
    std::fputs(
        "usage: disk_bench copy-remove SOURCE_DIR WORK_DIR\n"
        "       disk_bench list DIR\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "copy-remove" && argc == 4) {
        return CopyRemove(HelperPath(argv[2]), HelperPath(argv[3]));
    }
    if (command == "list" && argc == 3) {
        return List(HelperPath(argv[2]));
    }
    return Usage();
}
