// The framework's string, and the conversion between UTF-16 text and the
// UTF-8 bytes that names and texts are on Linux.
#include <tuple>

#include <gtest/gtest.h>

#include "platform/String.h"
#include "platform/Utf8.h"
#include "tests/support/TestFiles.h"

namespace {

TEST(StringTest, EditsClampCountsTrimEveryBlankAndMissesAreMinusOne) {
    CString message(TEXT(" \t Access is denied.\r\n\v\f"));
    EXPECT_EQ(message.TrimLeft().TrimRight().Right(99), CString(TEXT("Access is denied.")));
    // A length given to ReleaseBuffer wins over the terminator found.
    message.GetBuffer(10);
    message.ReleaseBuffer(0);
    EXPECT_TRUE(message.IsEmpty());
    // Without one, the text ends at the first NUL, or with the buffer.
    std::char_traits<WCHAR>::copy(message.GetBuffer(5), TEXT("ab"), 3);
    message.ReleaseBuffer();
    EXPECT_EQ(message, CString(TEXT("ab")));
    std::char_traits<WCHAR>::copy(message.GetBuffer(3), TEXT("abc"), 3);
    message.ReleaseBuffer();
    EXPECT_EQ(message, CString(TEXT("abc")));
    EXPECT_EQ(message.Left(99), message);
    EXPECT_EQ(message.Replace(TEXT('b'), TEXT('/')) + message.Replace(TEXT('x'), TEXT('y')), 1);
    EXPECT_EQ(message.Left(-1) + message.Right(0) + message.Mid(9) + message.Mid(1, 0) + TEXT('|') +
                  message.Mid(-1, 2),
              CString(TEXT("|a/")));
    // A search that finds nothing answers -1, as callers compare against.
    const CString path(TEXT("C:\\TavrelData\\update"));
    EXPECT_EQ(path.Find(TEXT('/')), -1);
    EXPECT_EQ(path.Find(TEXT("\\update"), 3), 13);
    EXPECT_EQ(path.ReverseFind(TEXT('/')), -1);
    EXPECT_EQ(path.Find(TEXT('C'), -1) + path.Find(TEXT("C"), -1), -2);
}

// Bytes that are no valid UTF-8 each stand for themselves (U+DC80 to
// U+DCFF), so that every name from the system goes back to it unchanged. A
// lone surrogate outside that range has no UTF-8 form and is written as the
// three bytes its code would have (which read back as three such bytes).
TEST(Utf8Test, TextAndBytesConvertBothWays) {
    const std::tuple<Utf16Text, std::string, bool> cases[] = {
        {TEXT("a \u0080\u00FCn\u07FF\u0800\u65E5\uFFFF"),
         "a \xC2\x80\xC3\xBCn\xDF\xBF\xE0\xA0\x80\xE6\x97\xA5\xEF\xBF\xBF", true},
        {TEXT("\U00010000\U0001F600\uE000 \U0010FFFF"),
         "\xF0\x90\x80\x80\xF0\x9F\x98\x80\xEE\x80\x80 \xF4\x8F\xBF\xBF", true},
        {TEXT("\xDCFF caf\xDCE9 \xDCC3 \u00FC \xDC80"), "\xFF caf\xE9 \xC3 \xC3\xBC \x80", true},
        // Overlong forms of '/', U+07FF and U+FFFF; a lead byte of no
        // sequence; the first and the last surrogate; beyond U+10FFFF.
        {TEXT("\xDCC0\xDCAF\xDCE0\xDC9F\xDCBF\xDCF0\xDC8F\xDCBF\xDCBF\xDCFC\xDC80\xDC80\xDC80"),
         "\xC0\xAF\xE0\x9F\xBF\xF0\x8F\xBF\xBF\xFC\x80\x80\x80", true},
        {TEXT("\xDCED\xDCA0\xDC80\xDCED\xDCBF\xDCBF\xDCF4\xDC90\xDC80\xDC80"),
         "\xED\xA0\x80\xED\xBF\xBF\xF4\x90\x80\x80", true},
        {TEXT("a\xD800x\xDC00y\xDC7F\xD801"), "a\xED\xA0\x80x\xED\xB0\x80y\xED\xB1\xBF\xED\xA0\x81",
         false},
    };
    for (const auto& [text, bytes, readsBack] : cases) {
        EXPECT_EQ(ToUtf8(text.c_str()), bytes);
        EXPECT_TRUE(!readsBack || FromUtf8(bytes) == text) << ::testing::PrintToString(bytes);
    }
    // A length given ends the text, even inside a surrogate pair.
    EXPECT_EQ(ToUtf8(TEXT("a\xD83D\xDE00"), 2), "a\xED\xA0\xBD");
}

}  // namespace
