#include "platform/commandline/ArgumentQuote.h"

#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "platform/commandline/ArgumentVector.h"
#include "platform/commandline/CommandTail.h"
#include "tests/support/TestStrings.h"

namespace {

struct QuoteCase {
    LPCWSTR argument;
    LPCWSTR quoted;
};

TEST(ArgumentQuoteTest, QuotesOnlyWhatTheSplitterWouldChange) {
    const QuoteCase cases[] = {
        {TEXT("plain"), TEXT("plain")},
        {TEXT(R"(C:\dir\)"), TEXT(R"(C:\dir\)")},
        {TEXT(""), TEXT(R"("")")},
        {TEXT("a b"), TEXT(R"("a b")")},
        {TEXT(R"(say "hi")"), TEXT(R"("say \"hi\"")")},
        {TEXT(R"(a\"b)"), TEXT(R"("a\\\"b")")},
        {TEXT(R"(trail\)"), TEXT(R"(trail\)")},
        {TEXT(R"(tr ail\\)"), TEXT(R"("tr ail\\\\")")},
        {TEXT("line\nfeed"), TEXT("\"line\nfeed\"")},
    };
    for (const QuoteCase& c : cases) {
        EXPECT_EQ(CString(QuoteArgument(c.argument).c_str()), CString(c.quoted));
    }
}

TEST(ArgumentQuoteTest, QuotesProgramNamesThatWouldEndEarly) {
    const QuoteCase cases[] = {
        {TEXT(R"(C:\x\launcher.exe)"), TEXT(R"(C:\x\launcher.exe)")},
        {TEXT(R"(C:\Program Files\launcher)"), TEXT(R"("C:\Program Files\launcher")")},
        {TEXT(""), TEXT(R"("")")},
        {TEXT(R"("odd)"), TEXT(R"("odd")")},
        {TEXT(R"(a"b)"), TEXT(R"(a"b)")},
    };
    for (const QuoteCase& c : cases) {
        EXPECT_EQ(CString(QuoteProgramName(c.argument).c_str()), CString(c.quoted));
    }
}

// Random argument lists, built from the characters that matter to the
// splitter, come back unchanged from quote-then-split, and the command tail
// is exactly the quoted arguments.
TEST(ArgumentQuoteTest, QuoteThenSplitGivesBackTheArguments) {
    const WCHAR alphabet[] = {TEXT('a'),  TEXT(' '), TEXT('\t'), TEXT('"'), TEXT('\\'),
                              TEXT('\n'), 0x01,      0x00FC,     0x65E5,    TEXT('-')};
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> pick(0, sizeof(alphabet) / sizeof(alphabet[0]) - 1);
    std::uniform_int_distribution<int> length(0, 7);
    std::uniform_int_distribution<int> count(0, 5);

    for (int round = 0; round < 3000; ++round) {
        std::vector<ArgumentText> arguments;
        ArgumentText name;
        for (int i = length(random); i > 0; --i) {
            const WCHAR c = alphabet[pick(random)];
            if (c != TEXT('"')) {
                name += c;
            }
        }
        ArgumentText line = QuoteProgramName(name);
        const size_t tailStart = line.size() + 1;
        for (int n = count(random); n > 0; --n) {
            ArgumentText argument;
            for (int i = length(random); i > 0; --i) {
                argument += alphabet[pick(random)];
            }
            arguments.push_back(argument);
            line += TEXT(' ');
            line += QuoteArgument(argument);
        }

        const ArgumentVector split = ArgumentVector::FromCommandLine(line.c_str());
        ASSERT_EQ(split.Count(), static_cast<int>(arguments.size()) + 1)
            << ::testing::PrintToString(CString(line.c_str()));
        EXPECT_EQ(ArgumentText(split.Values()[0]), name);
        for (size_t i = 0; i < arguments.size(); ++i) {
            EXPECT_EQ(ArgumentText(split.Values()[i + 1]), arguments[i])
                << ::testing::PrintToString(CString(line.c_str()));
        }
        const ArgumentText tail = arguments.empty() ? ArgumentText() : line.substr(tailStart);
        EXPECT_EQ(ArgumentText(FindCommandTail(line.c_str())), tail);
    }
}

}  // namespace
