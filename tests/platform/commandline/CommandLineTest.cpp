// The command-line syntax: the split into arguments, and the quoting that
// splits back into the same arguments.
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "platform/commandline/ArgumentQuote.h"
#include "platform/commandline/ArgumentVector.h"
#include "platform/commandline/CommandTail.h"
#include "tests/support/TestFiles.h"

namespace {

typedef std::vector<CString> Arguments;

Arguments Split(const ArgumentVector& vector) {
    EXPECT_EQ(vector.Values()[vector.Count()], nullptr);
    return Arguments(vector.Values(), vector.Values() + vector.Count());
}

// The program name has rules of its own: no escapes, no quotes of its own,
// and the next argument may begin right behind its closing quote. Only blank
// and tab separate arguments.
TEST(CommandLineTest, CommandLinesSplitIntoArguments) {
    const std::pair<LPCWSTR, Arguments> cases[] = {
        {TEXT(R"("C:\l.exe"5 -w )"), {TEXT(R"(C:\l.exe)"), TEXT("5"), TEXT("-w")}},
        {TEXT("C:\\l.exe\n5"), {TEXT("C:\\l.exe\n5")}},
        {TEXT("p\t\x01 a\t\t b "), {TEXT("p"), TEXT("\x01"), TEXT("a"), TEXT("b")}},
        {TEXT(R"("C:\x\"y z)"), {TEXT(R"(C:\x\)"), TEXT("y"), TEXT("z")}},
        {TEXT(R"("C:\never closed)"), {TEXT(R"(C:\never closed)")}},
        {TEXT(R"(p "" a\"b "a\\" "a""b c")"),
         {TEXT("p"), TEXT(""), TEXT(R"(a"b)"), TEXT(R"(a\)"), TEXT(R"(a"b)"), TEXT("c")}},
        {TEXT(R"(p a\\\\"b c" a\\\"b C:\\d\\ a"b c"d "never closed)"),
         {TEXT("p"), TEXT(R"(a\\b c)"), TEXT(R"(a\"b)"), TEXT(R"(C:\\d\\)"), TEXT("ab cd"),
          TEXT("never closed")}},
    };
    for (const auto& [line, arguments] : cases) {
        EXPECT_EQ(Split(ArgumentVector::FromCommandLine(line)), arguments)
            << ::testing::PrintToString(CString(line));
    }
    // The entries lie in one block, right behind the pointers.
    const ArgumentVector vector = ArgumentVector::FromCommandLine(TEXT("p ab"));
    EXPECT_EQ(vector.Values()[0], reinterpret_cast<LPCWSTR>(vector.Values() + 3));
    EXPECT_EQ(vector.Values()[1], vector.Values()[0] + 2);
}

// The tail is what follows the program name and the blanks behind it: a
// quoted name ends at its closing quote, an unquoted one at a blank or a
// control character.
TEST(CommandLineTest, TheTailFollowsTheProgramName) {
    const std::pair<LPCWSTR, LPCWSTR> cases[] = {
        {TEXT(R"("C:\Program Files\l.exe" -wkesto 5)"), TEXT("-wkesto 5")},
        {TEXT(R"("C:\l.exe"x  y)"), TEXT("x  y")},
        {TEXT("l.exe\n\t x"), TEXT("x")},
        {TEXT("l.exe   "), TEXT("")},
        {TEXT(R"("never closed x)"), TEXT("")},
    };
    for (const auto& [line, tail] : cases) {
        EXPECT_EQ(CString(FindCommandTail(line)), CString(tail))
            << ::testing::PrintToString(CString(line));
    }
}

// An argument is quoted only where the splitter would change it, and splits
// back unchanged; a program name only where it would end early.
TEST(CommandLineTest, QuotedArgumentsSplitBackUnchanged) {
    const std::tuple<LPCWSTR, LPCWSTR, LPCWSTR> cases[] = {
        {TEXT(R"(C:\d\)"), TEXT(R"(C:\d\)"), TEXT(R"(C:\d\)")},
        {TEXT(""), TEXT(R"("")"), TEXT(R"("")")},
        {TEXT(R"(a b\\)"), TEXT(R"("a b\\\\")"), TEXT(R"("a b\\")")},
        {TEXT(R"(a\"b)"), TEXT(R"("a\\\"b")"), TEXT(R"(a\"b)")},
        {TEXT(R"("odd)"), TEXT(R"("\"odd")"), TEXT(R"("odd")")},
        {TEXT("l\nf\x01"), TEXT("\"l\nf\x01\""), TEXT("\"l\nf\x01\"")},
    };
    for (const auto& [text, argument, name] : cases) {
        EXPECT_EQ(CString(QuoteArgument(text).c_str()), CString(argument));
        EXPECT_EQ(CString(QuoteProgramName(text).c_str()), CString(name));
        EXPECT_EQ(Split(ArgumentVector::FromParameters(argument)), Arguments{text});
    }
}

}  // namespace
