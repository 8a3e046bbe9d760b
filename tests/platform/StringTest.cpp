#include "platform/String.h"

#include <gtest/gtest.h>

#include "tests/support/TestStrings.h"

namespace {

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
