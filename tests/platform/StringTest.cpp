#include "platform/String.h"

#include <gtest/gtest.h>

#include "tests/support/TestStrings.h"

namespace {

TEST(StringTest, SearchesAnswerAnIndexOrMinusOne) {
    const CString text(TEXT("a\\b\\c.txt"));
    EXPECT_EQ(text.Find(TEXT('\\')), 1);
    EXPECT_EQ(text.Find(TEXT('\\'), 2), 3);
    EXPECT_EQ(text.Find(TEXT('x'), 99), -1);
    EXPECT_EQ(text.Find(TEXT('A')), -1);
    EXPECT_EQ(text.Find(TEXT("c.t")), 4);
    EXPECT_EQ(text.Find(TEXT("C.T")), -1);
    EXPECT_EQ(text.ReverseFind(TEXT('\\')), 3);
    EXPECT_EQ(text.ReverseFind(TEXT('/')), -1);
}

TEST(StringTest, CountsAreClampedToTheString) {
    const CString text(TEXT("abcdef"));
    const struct {
        CString got;
        LPCWSTR expected;
    } cases[] = {
        {text.Left(2), TEXT("ab")},      {text.Left(-1), TEXT("")},
        {text.Left(99), TEXT("abcdef")}, {text.Right(2), TEXT("ef")},
        {text.Right(-3), TEXT("")},      {text.Right(99), TEXT("abcdef")},
        {text.Mid(4), TEXT("ef")},       {text.Mid(-2), TEXT("abcdef")},
        {text.Mid(9), TEXT("")},         {text.Mid(1, 2), TEXT("bc")},
        {text.Mid(5, 9), TEXT("f")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.got, CString(c.expected));
    }
}

TEST(StringTest, ConcatenationKeepsEveryPart) {
    const CString b(TEXT("b"));
    EXPECT_EQ(TEXT('\\') + b, CString(TEXT("\\b")));
    EXPECT_EQ(b + TEXT('\\'), CString(TEXT("b\\")));
    EXPECT_EQ(TEXT("a") + b, CString(TEXT("ab")));
    EXPECT_EQ(b + TEXT("c") + b, CString(TEXT("bcb")));
}

TEST(StringTest, ReplaceAndTrim) {
    CString path(TEXT("C:/a/b"));
    EXPECT_EQ(path.Replace(TEXT('/'), TEXT('\\')), 2);
    EXPECT_EQ(path, CString(TEXT("C:\\a\\b")));

    CString message(TEXT(" \t Access is denied.\r\n"));
    EXPECT_EQ(message.TrimLeft(), CString(TEXT("Access is denied.\r\n")));
    EXPECT_EQ(message.TrimRight(), CString(TEXT("Access is denied.")));
    CString blank(TEXT(" \r\n\v\f"));
    EXPECT_TRUE(blank.TrimRight().IsEmpty());
}

TEST(StringTest, CompareIsOrdinalOnUnsignedCodeUnits) {
    const struct {
        LPCWSTR a;
        LPCWSTR b;
        int sign;
    } cases[] = {
        {TEXT("A.txt"), TEXT("a.txt"), -1},   // capitals first
        {TEXT("a"), TEXT("ab"), -1},          // a prefix is less
        {TEXT("z"), TEXT("\u00E9"), -1},      // no locale order
        {TEXT("\uFFFF"), TEXT("\u0100"), 1},  // unsigned, also where wchar_t is signed
        {TEXT("same"), TEXT("same"), 0},
    };
    for (const auto& c : cases) {
        const int result = CString(c.a).Compare(c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << ::testing::PrintToString(CString(c.a));
    }
}

}  // namespace
