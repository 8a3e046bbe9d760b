// The built launcher, run in a temporary install: the launcher in its
// folder and the stand-in browser as TavrelData\Tavrel.exe.
#include <vector>

#include <gtest/gtest.h>

#include "tests/launcher/LauncherInstall.h"
#include "tests/support/TestStrings.h"

namespace {

typedef std::vector<CString> Arguments;

struct RunCase {
    const char* name;
    Arguments arguments;
    bool forwarded;
    int delaySeconds;
};

const RunCase kRunCases[] = {
    {"no arguments", {}, true, 0},
    {"quoted path and a flag", {TEXT("C:\\My Documents\\page one.htm"), TEXT("--x")}, true, 0},
    {"delay of one second", {TEXT("-wkesto"), TEXT("1")}, false, 1},
    {"delay that is no number", {TEXT("-wkesto"), TEXT("abc")}, false, 0},
    {"delay of zero", {TEXT("-wkesto"), TEXT("0")}, false, 0},
    {"negative delay is a flag", {TEXT("-wkesto"), TEXT("-3")}, false, 0},
    {"switch alone", {TEXT("-wkesto")}, false, 0},
    {"switch last has no blank", {TEXT("5"), TEXT("-wkesto")}, true, 0},
    {"switch in capitals", {TEXT("page.htm"), TEXT("-WKESTO"), TEXT("7")}, true, 0},
    {"switch inside a word", {TEXT("1"), TEXT("x-wkesto"), TEXT("y")}, false, 1},
    {"arguments the splitter must keep exactly",
     {TEXT(""), TEXT("a b"), TEXT("tab\there"), TEXT("say \"hi\""), TEXT("back\\slash\\"),
      TEXT("trail\\\\"), TEXT("\u00FCn\u00EF \u65E5\u672C"), TEXT("\n"),
      // Not UTF-8 on Linux, a lone surrogate on Windows: passed on as it is.
      TEXT("caf\xDCE9")},
     true,
     0},
};

TEST(LauncherRunTest, StartsTheBrowserAsTheCommandLineAsks) {
    for (const RunCase& c : kRunCases) {
        SCOPED_TRACE(c.name);
        LauncherInstall install;
        const RunResult run = install.Run(c.arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output, "");
        EXPECT_GE(run.seconds, c.delaySeconds);

        LaunchRecord record;
        ASSERT_TRUE(install.WaitForBrowser(&record));
        EXPECT_EQ(record.directory, install.DataFolder());
        if (c.forwarded) {
            EXPECT_EQ(record.arguments, c.arguments);
            EXPECT_EQ(record.tail, CommandTailFor(c.arguments));
        } else {
            EXPECT_EQ(record.arguments, Arguments());
            EXPECT_EQ(record.tail, CString());
        }
    }
}

TEST(LauncherRunTest, MissingBrowserEndsQuietly) {
    LauncherInstall install;
    install.RemoveBrowser();
    const RunResult run = install.Run({TEXT("page.htm")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "");
}

TEST(LauncherRunTest, BrowserWorksInTheDataFolderWhereverTheLauncherStarts) {
    ExpectLaunchFromElsewhere(LauncherInstall());
}

}  // namespace
