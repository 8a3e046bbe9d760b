#include "platform/commandline/CommandTail.h"

#include <gtest/gtest.h>

#include "tests/support/TestStrings.h"

namespace {

struct TailCase {
    LPCWSTR commandLine;
    LPCWSTR tail;
};

const TailCase kTailCases[] = {
    {TEXT(R"("C:\Program Files\B\launcher.exe" -wkesto 5)"), TEXT("-wkesto 5")},
    // Text right behind the closing quote already belongs to the tail.
    {TEXT(R"("C:\x\launcher.exe"5 -wkesto )"), TEXT("5 -wkesto ")},
    {TEXT(R"("C:\x\launcher.exe"   )"), TEXT("")},
    // Any control character ends an unquoted name and is skipped.
    {TEXT("C:\\x\\launcher.exe\n5"), TEXT("5")},
    {TEXT("launcher.exe\t\x01\x1F a  b "), TEXT("a  b ")},
    {TEXT(" 5"), TEXT("5")},
    {TEXT(""), TEXT("")},
    {TEXT(R"("C:\never closed 5)"), TEXT("")},
    // No escapes in the program name: the backslash is ordinary.
    {TEXT(R"("C:\x\"y z)"), TEXT("y z")},
    // Code units above 0x20, non-ASCII ones included, belong to the name.
    {TEXT("l\u00E4uncher\uFFFF.exe \"q\""), TEXT("\"q\"")},
};

TEST(CommandTailTest, TailIsTheTextAfterTheProgramName) {
    for (const TailCase& c : kTailCases) {
        EXPECT_EQ(CString(FindCommandTail(c.commandLine)), CString(c.tail))
            << "command line: " << ::testing::PrintToString(CString(c.commandLine));
    }
}

TEST(CommandTailTest, TailPointsIntoTheCommandLine) {
    LPCWSTR line = TEXT("\"a b\" c");
    EXPECT_EQ(FindCommandTail(line), line + 6);
}

}  // namespace
