// The built launcher, started from a folder that holds another TavrelData
// with a program and an update of its own: it applies its own update and
// starts its own browser, in its data folder, as the command line asks, and
// never reads the layout against its current directory.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/launcher/Install.h"
#include "tests/support/TestFiles.h"

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#endif

namespace {

typedef std::vector<CString> Arguments;

// How the launcher is started: as any program is; with no browser program
// installed; on Linux without /proc, by its full path, by a path relative to
// its start folder, through a link to it (as from a folder of commands), or
// through a descriptor, so that it cannot know its path and starts nothing;
// on Windows with the command line after the quoted or unquoted program name
// exactly so.
enum Start {
    kPlain,
    kNoBrowser,
    kNoProc,
    kNoProcRelative,
    kNoProcLink,
    kNoProcDescriptor,
    kQuoted,
    kUnquoted
};

struct RunCase {
    const char* name;
    Arguments arguments;
    // The command tail the browser gets, as the quoting rules write the
    // arguments (nothing after the delay).
    LPCWSTR tail;
    int delaySeconds = 0;
    Start start = kPlain;
    LPCWSTR rawTail = nullptr;
};

const Arguments kTwo = {TEXT("a b"), TEXT("c")};

const RunCase kRunCases[] = {
    // The last is no UTF-8 on Linux, a lone surrogate on Windows: passed on
    // as it is.
    {"arguments the splitter must keep exactly",
     {TEXT(""), TEXT("a b"), TEXT("tab\there"), TEXT("say \"hi\""), TEXT("back\\slash\\"),
      TEXT("trail\\\\"), TEXT("\u00FCn\u00EF \u65E5\u672C"), TEXT("\n"), TEXT("caf\xDCE9")},
     TEXT("\"\" \"a b\" \"tab\there\" \"say \\\"hi\\\"\" back\\slash\\ trail\\\\ ")
         TEXT("\"\u00FCn\u00EF \u65E5\u672C\" \"\n\" caf\xDCE9")},
    {"delay of one second", {TEXT("-wkesto"), TEXT("1")}, TEXT(""), 1},
    {"no browser program", {TEXT("page.htm")}, TEXT(""), 0, kNoBrowser},
#ifdef _WIN32
    {"text behind the closing quote", {}, TEXT("page.htm --x"), 0, kQuoted, TEXT("page.htm --x")},
    {"only blanks after the program name", {}, TEXT(""), 0, kQuoted, TEXT("   ")},
    // The tail is 5, but the splitter keeps the line feed in the program
    // name, so there is no first parameter and nothing is forwarded.
    {"line feed after an unquoted program name", {}, TEXT(""), 0, kUnquoted, TEXT("\n5")},
#elif !defined(__SANITIZE_ADDRESS__)  // the sanitizer's run-time needs /proc
    {"no /proc, by its full path", kTwo, TEXT("\"a b\" c"), 0, kNoProc},
    {"no /proc, by a relative path", kTwo, TEXT("\"a b\" c"), 0, kNoProcRelative},
    {"no /proc, through a link to it", kTwo, TEXT("\"a b\" c"), 0, kNoProcLink},
    {"no /proc, through a descriptor", kTwo, TEXT(""), 0, kNoProcDescriptor},
#endif
};

#ifndef _WIN32
// In a mount namespace of its own, /proc is an empty folder.
bool HideProc() {
    return unshare(CLONE_NEWNS) == 0 &&
           mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount("none", "/proc", "tmpfs", 0, nullptr) == 0;
}

// A path cut at 260 characters would name another folder; read as a path,
// in\st would be the folder st in the folder in, where the stranger's
// program waits, and the wildcards would stop every update.
const fs::path kInstallFolder = [] {
    fs::path deep;
    for (int i = 0; i < 24; ++i) {
        deep /= "a-folder-of-some-length";
    }
    return deep / "in\\st*?";
}();
const char kElsewhere[] = "in/st*?";
#else
const fs::path kInstallFolder = "install";
const char kElsewhere[] = "elsewhere";
#endif

TEST(LauncherRunTest, StartsItsOwnBrowserAsTheCommandLineAsks) {
    std::string skipped;
    for (const RunCase& c : kRunCases) {
        SCOPED_TRACE(c.name);
        Install install(kInstallFolder);
        const fs::path elsewhere = install.root.parent_path() / kElsewhere;
        fs::create_directories(elsewhere / "TavrelData" / "update");
        for (const char* program : {"TavrelData/Tavrel.exe", "TavrelData/update/Tavrel.exe"}) {
            fs::copy_file(install.data / "Tavrel.exe", elsewhere / program);
        }
        const TreeState before = SnapshotTree(elsewhere);
        if (c.start == kNoBrowser) {
            fs::remove(install.data / "Tavrel.exe");
        } else {
            install.StageBrowser();
        }

        ProgramStart start{install.launcher, c.arguments, elsewhere};
        const CString program = FromFsPath(install.launcher);
        if (c.rawTail != nullptr) {
            start.commandLine =
                (c.start == kUnquoted ? program : TEXT("\"") + program + TEXT("\"")) + c.rawTail;
        }
#ifndef _WIN32
        if (c.start >= kNoProc) {
            start.prepare = HideProc;
        }
        start.throughDescriptor = c.start == kNoProcDescriptor;
        if (c.start == kNoProcRelative) {
            start.program = fs::relative(install.launcher, elsewhere);
        }
        if (c.start == kNoProcLink) {
            start.program = install.root.parent_path() / "launcher-link";
            fs::create_symlink(install.launcher, start.program);
        }
#endif
        const RunResult run = RunProgram(start);
        if (run.exitCode == kNotPrepared) {
            skipped += std::string("\n  ") + c.name + ": no mount namespace here (that takes root)";
            continue;
        }
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output, "");
        EXPECT_GE(run.seconds, c.delaySeconds);
        const bool starts = c.start != kNoBrowser && c.start != kNoProcDescriptor;
        const Arguments expected = {FromFsPath(install.data), c.tail};
        // Where nothing is started, a start would have shown within a second.
        EXPECT_EQ(install.WaitForBrowser(starts ? 60 : 1), starts ? expected : Arguments());
        EXPECT_EQ(fs::exists(install.update), c.start == kNoProcDescriptor);
        EXPECT_EQ(SnapshotTree(elsewhere), before);
    }
    if (!skipped.empty()) {
        GTEST_SKIP() << "cases that cannot run here:" << skipped;
    }
}

}  // namespace
