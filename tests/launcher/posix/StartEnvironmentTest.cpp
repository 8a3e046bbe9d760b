// What a Linux system may start the launcher with: no /proc, descriptors
// left open by its starter, little memory.
#include <string>

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include "tests/launcher/LauncherInstall.h"
#include "tests/support/TestStrings.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's run-time needs /proc and reserves more memory than any
// limit here allows.
const bool kSanitized = true;
#else
const bool kSanitized = false;
#endif

// In a mount namespace of its own, /proc is an empty folder.
bool HideProc() {
    return unshare(CLONE_NEWNS) == 0 &&
           mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount("none", "/proc", "tmpfs", 0, nullptr) == 0;
}

// Started from a folder that holds another TavrelData, with a program and an
// update of its own, the launcher finds its own folder without /proc, or
// does nothing at all: it never reads the layout against its current
// directory.
TEST(StartEnvironmentTest, WithoutProcTheLauncherFindsItselfOrDoesNothing) {
    if (kSanitized) {
        GTEST_SKIP() << "the sanitizer's run-time needs /proc";
    }
    const struct {
        const char* name;
        bool relative;
        bool throughDescriptor;
        bool starts;
    } cases[] = {
        {"started by its full path", false, false, true},
        {"started by a path relative to its start folder", true, false, true},
        {"started through a descriptor, so that it cannot know its path", false, true, false},
    };
    const std::vector<CString> arguments = {TEXT("a b"), TEXT("c")};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LauncherInstall install;
        TempDir decoy;
        fs::create_directories(decoy.path() / "TavrelData" / "update");
        fs::copy_file(install.Data() / "Tavrel.exe", decoy.path() / "TavrelData" / "Tavrel.exe");
        fs::copy_file(install.Data() / "Tavrel.exe",
                      decoy.path() / "TavrelData" / "update" / "Tavrel.exe");
        const TreeState before = SnapshotTree(decoy.path());

        const fs::path program =
            c.relative ? fs::relative(install.Launcher(), decoy.path()) : install.Launcher();
        Preparation preparation;
        preparation.prepare = HideProc;
        preparation.throughDescriptor = c.throughDescriptor;
        const RunResult run = RunPrepared(program, arguments, decoy.path(), preparation);
        if (run.exitCode == kNotPrepared) {
            GTEST_SKIP() << "no mount namespace here (this needs root)";
        }
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output, "");
        LaunchRecord record;
        if (c.starts) {
            ASSERT_TRUE(install.WaitForBrowser(&record));
            EXPECT_EQ(record.arguments, arguments);
        } else {
            // Nothing is started at all: a start would have shown by now.
            sleep(1);
            EXPECT_FALSE(fs::exists(LaunchRecordPath(install.Data())));
        }
        EXPECT_EQ(SnapshotTree(decoy.path()), before);
    }
}

TEST(StartEnvironmentTest, BrowserInheritsNoDescriptorFromTheLaunchersStarter) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    LauncherInstall install;
    const RunResult run = install.Run({});
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    EXPECT_EQ(run.exitCode, 0);
    LaunchRecord record;
    ASSERT_TRUE(install.WaitForBrowser(&record));
    EXPECT_EQ(record.inherited, std::vector<int>());
}

// From too little memory to load the program at all up to enough to start
// the browser: once the program runs, a start that finds no memory for its
// long command line ends with exit code 255, never by a signal or with the
// C++ run-time's message.
TEST(StartEnvironmentTest, TooLittleMemoryEndsWithExitCode255) {
    if (kSanitized) {
        GTEST_SKIP() << "the sanitizer's run-time reserves more memory than the limits allow";
    }
    LauncherInstall install;
    const std::basic_string<WCHAR> longArgument(100000, TEXT('a'));
    const std::vector<CString> arguments(8, CString(longArgument.c_str()));
    bool loaded = false;
    bool endedForWantOfMemory = false;
    for (rlim_t limit = 1 << 20; limit < (rlim_t(256) << 20); limit += 128 << 10) {
        Preparation preparation;
        preparation.prepare = [limit] {
            const rlimit memory{limit, limit};
            return setrlimit(RLIMIT_AS, &memory) == 0;
        };
        const RunResult run =
            RunPrepared(install.Launcher(), arguments, install.Data(), preparation);
        SCOPED_TRACE(std::to_string(limit >> 10) + " KiB: " + run.output);
        EXPECT_EQ(run.output.find("terminate"), std::string::npos);
        // Below some limit the system cannot even begin the program (a
        // signal); then its loader cannot (exit code 127).
        const bool exited = run.exitCode >= 0;
        ASSERT_TRUE(exited || !loaded);
        loaded |= exited;
        endedForWantOfMemory |= run.exitCode == 255;
        if (run.exitCode == 0) {
            break;
        }
    }
    EXPECT_TRUE(endedForWantOfMemory);
}

}  // namespace
