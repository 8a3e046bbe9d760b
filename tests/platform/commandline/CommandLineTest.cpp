// The command-line syntax: the tail behind the program name, the split into
// arguments, and the quoting that splits back into the same arguments.
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "platform/commandline/ArgumentQuote.h"
#include "platform/commandline/ArgumentVector.h"
#include "platform/commandline/CommandTail.h"
#include "tests/support/TestStrings.h"

namespace {

typedef std::vector<CString> Arguments;

Arguments Split(const ArgumentVector& vector) {
    EXPECT_EQ(vector.Values()[vector.Count()], nullptr);
    return Arguments(vector.Values(), vector.Values() + vector.Count());
}

TEST(CommandLineTest, TailIsTheTextBehindTheProgramNameAndSplits) {
    const std::tuple<LPCWSTR, LPCWSTR, Arguments> cases[] = {
        {TEXT(R"("C:\P F\l.exe" -w 5)"),
         TEXT("-w 5"),
         {TEXT(R"(C:\P F\l.exe)"), TEXT("-w"), TEXT("5")}},
        // The next argument may begin right behind the program name's quote.
        {TEXT(R"("C:\l.exe"5 -w )"), TEXT("5 -w "), {TEXT(R"(C:\l.exe)"), TEXT("5"), TEXT("-w")}},
        // Any control character ends an unquoted name for the tail; only
        // blank and tab separate arguments.
        {TEXT("C:\\l.exe\n5"), TEXT("5"), {TEXT("C:\\l.exe\n5")}},
        {TEXT("p\t\x01 a\t\t b "),
         TEXT("a\t\t b "),
         {TEXT("p"), TEXT("\x01"), TEXT("a"), TEXT("b")}},
        {TEXT(" 5"), TEXT("5"), {TEXT(""), TEXT("5")}},
        // No escapes and no quotes of its own in the program name.
        {TEXT(R"("C:\x\"y z)"), TEXT("y z"), {TEXT(R"(C:\x\)"), TEXT("y"), TEXT("z")}},
        {TEXT(R"(a"b c)"), TEXT("c"), {TEXT(R"(a"b)"), TEXT("c")}},
        {TEXT(R"("C:\never closed 5)"), TEXT(""), {TEXT(R"(C:\never closed 5)")}},
        {TEXT(R"(p "" a\"b "a\\" "a""b c")"),
         TEXT(R"("" a\"b "a\\" "a""b c")"),
         {TEXT("p"), TEXT(""), TEXT(R"(a"b)"), TEXT(R"(a\)"), TEXT(R"(a"b)"), TEXT("c")}},
        {TEXT(R"(p a\\\\"b c" a\\\"b C:\\d\\ a"b c"d "never closed)"),
         TEXT(R"(a\\\\"b c" a\\\"b C:\\d\\ a"b c"d "never closed)"),
         {TEXT("p"), TEXT(R"(a\\b c)"), TEXT(R"(a\"b)"), TEXT(R"(C:\\d\\)"), TEXT("ab cd"),
          TEXT("never closed")}},
    };
    for (const auto& [line, tail, arguments] : cases) {
        // The tail is the end of the line itself, not a copy.
        EXPECT_EQ(FindCommandTail(line),
                  line + CString(line).GetLength() - CString(tail).GetLength());
        EXPECT_EQ(Split(ArgumentVector::FromCommandLine(line)), arguments)
            << ::testing::PrintToString(CString(line));
    }
    // The entries lie in one block, right behind the pointers.
    const ArgumentVector vector = ArgumentVector::FromCommandLine(TEXT("p ab"));
    EXPECT_EQ(vector.Values()[0], reinterpret_cast<LPCWSTR>(vector.Values() + 3));
    EXPECT_EQ(vector.Values()[1], vector.Values()[0] + 2);
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
    EXPECT_EQ(Split(ArgumentVector::FromParameters(TEXT(" \t "))), Arguments());
}

}  // namespace
