// Command lines that only a Windows starter can write: the launcher is
// started with them exactly, through CreateProcessW.
#include <gtest/gtest.h>

#include "tests/launcher/LauncherInstall.h"
#include "tests/support/TestStrings.h"
#include "tests/support/win32/RawProcess.h"

namespace {

TEST(LauncherRawLineTest, TailStartsWhereTheProgramNameEnds) {
    const struct {
        const char* name;
        LPCWSTR lineAfterName;
        bool quotedName;
        std::vector<CString> browserArguments;
    } cases[] = {
        {"text right behind the closing quote",
         TEXT("page.htm --x"),
         true,
         {TEXT("page.htm"), TEXT("--x")}},
        {"only blanks after the program name", TEXT("   "), true, {}},
        // The tail is 5, but the splitter keeps the line feed in the program
        // name, so there is no first parameter and nothing is forwarded.
        {"line feed after an unquoted program name", TEXT("\n5"), false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LauncherInstall install;
        const CString program = FromFsPath(install.Launcher());
        ASSERT_EQ(program.Find(TEXT(' ')), -1) << "the unquoted case needs a path without blanks";
        const CString name = c.quotedName ? TEXT("\"") + program + TEXT("\"") : program;
        const RunResult run = RunRawCommandLine(install.Launcher(), name + c.lineAfterName,
                                                install.Launcher().parent_path());
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output, "");

        LaunchRecord record;
        ASSERT_TRUE(install.WaitForBrowser(&record));
        EXPECT_EQ(record.arguments, c.browserArguments);
        EXPECT_EQ(record.tail, CommandTailFor(c.browserArguments));
    }
}

}  // namespace
