#include "platform/commandline/ArgumentVector.h"

#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TestStrings.h"

namespace {

typedef std::vector<CString> Arguments;

Arguments ToList(const ArgumentVector& vector) {
    Arguments list;
    for (int i = 0; i < vector.Count(); ++i) {
        list.push_back(vector.Values()[i]);
    }
    return list;
}

struct SplitCase {
    LPCWSTR text;
    Arguments arguments;
};

const SplitCase kCommandLineCases[] = {
    {TEXT(R"("C:\Program Files\B\launcher.exe" -wkesto 5)"),
     {TEXT(R"(C:\Program Files\B\launcher.exe)"), TEXT("-wkesto"), TEXT("5")}},
    // The next argument may begin right behind the program name's quote.
    {TEXT(R"("C:\x\launcher.exe"5 -wkesto )"),
     {TEXT(R"(C:\x\launcher.exe)"), TEXT("5"), TEXT("-wkesto")}},
    // Only blank and tab separate: a line feed is part of the name.
    {TEXT("C:\\x\\launcher.exe\n5"), {TEXT("C:\\x\\launcher.exe\n5")}},
    {TEXT(" 5"), {TEXT(""), TEXT("5")}},
    {TEXT(""), {TEXT("")}},
    {TEXT(R"(p "" 7)"), {TEXT("p"), TEXT(""), TEXT("7")}},
    {TEXT(R"(p "" )"), {TEXT("p"), TEXT("")}},
    {TEXT("p\ta\t\t b\t"), {TEXT("p"), TEXT("a"), TEXT("b")}},
    // In an unquoted program name quotes are ordinary characters.
    {TEXT(R"(a"b c)"), {TEXT(R"(a"b)"), TEXT("c")}},
    {TEXT(R"(p a\"b c)"), {TEXT("p"), TEXT(R"(a"b)"), TEXT("c")}},
    {TEXT(R"(p "a\\" b)"), {TEXT("p"), TEXT(R"(a\)"), TEXT("b")}},
    {TEXT(R"(p "a""b c")"), {TEXT("p"), TEXT(R"(a"b)"), TEXT("c")}},
    {TEXT(R"(p a\\\\"b c")"), {TEXT("p"), TEXT(R"(a\\b c)")}},
    {TEXT(R"(p a\\\"b)"), {TEXT("p"), TEXT(R"(a\"b)")}},
    {TEXT(R"(p C:\\dir\\)"), {TEXT("p"), TEXT(R"(C:\\dir\\)")}},
    {TEXT(R"(p "never closed)"), {TEXT("p"), TEXT("never closed")}},
    {TEXT(R"(p a"b c"d e)"), {TEXT("p"), TEXT("ab cd"), TEXT("e")}},
    {TEXT("p \u65E5\u672C \"\u00FC \u00E9\""),
     {TEXT("p"), TEXT("\u65E5\u672C"), TEXT("\u00FC \u00E9")}},
};

TEST(ArgumentVectorTest, SplitsCommandLines) {
    for (const SplitCase& c : kCommandLineCases) {
        const ArgumentVector vector = ArgumentVector::FromCommandLine(c.text);
        ASSERT_TRUE(vector.IsValid());
        EXPECT_EQ(ToList(vector), c.arguments)
            << "command line: " << ::testing::PrintToString(CString(c.text));
        EXPECT_EQ(vector.Values()[vector.Count()], nullptr);
    }
}

TEST(ArgumentVectorTest, SplitsParametersWithoutAProgramName) {
    const SplitCase cases[] = {
        {TEXT(R"("a b" c)"), {TEXT("a b"), TEXT("c")}},
        {TEXT(""), {}},
        {TEXT(" \t "), {}},
        {TEXT(R"("")"), {TEXT("")}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(ToList(ArgumentVector::FromParameters(c.text)), c.arguments)
            << "parameters: " << ::testing::PrintToString(CString(c.text));
    }
}

TEST(ArgumentVectorTest, EntriesLieInOneBlockAfterThePointers) {
    const ArgumentVector vector = ArgumentVector::FromCommandLine(TEXT("p ab \"c d\""));
    ASSERT_EQ(vector.Count(), 3);
    const auto* pointers = reinterpret_cast<const char*>(vector.Values());
    const auto* first = reinterpret_cast<const char*>(vector.Values()[0]);
    EXPECT_EQ(first, pointers + 4 * sizeof(LPWSTR));
    EXPECT_EQ(vector.Values()[1], vector.Values()[0] + 2);
    EXPECT_EQ(vector.Values()[2], vector.Values()[1] + 3);
}

}  // namespace
