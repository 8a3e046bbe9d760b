#include "platform/Utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8Test, TextRoundTrips) {
    const Utf16Text texts[] = {
        TEXT(""),
        TEXT("plain"),
        TEXT("\u00FCn\u00EF \u65E5\u672C"),
        TEXT("\U0001F600 beyond the basic plane"),
    };
    for (const Utf16Text& text : texts) {
        EXPECT_EQ(FromUtf8(ToUtf8(text.c_str())), text);
    }
    EXPECT_EQ(ToUtf8(TEXT("\u00FC\U0001F600")), "\xC3\xBC\xF0\x9F\x98\x80");
}

// Names on Linux are bytes: whatever is not valid UTF-8 must survive too.
TEST(Utf8Test, BytesThatAreNotUtf8RoundTrip) {
    const std::string names[] = {
        "\xFF",
        "caf\xE9",
        "\xC3",
        "\xC0\xAF",      // overlong '/'
        "\xED\xA0\x80",  // an encoded surrogate
        "\xF4\x90\x80\x80",
        "ok \xC3\xBC \x80",
    };
    for (const std::string& name : names) {
        EXPECT_EQ(ToUtf8(FromUtf8(name).c_str()), name);
    }
    EXPECT_EQ(FromUtf8("a\xFF"), Utf16Text(TEXT("a\xDCFF")));
}

// Text that no system gave: a lone surrogate outside the range that stands
// for a byte is written as the three bytes its code would have.
TEST(Utf8Test, LoneSurrogatesHaveOneWrittenForm) {
    const WCHAR high[] = {TEXT('a'), 0xD800, 0};
    const WCHAR low[] = {0xDC00, TEXT('b'), 0};
    const WCHAR reversed[] = {0xDC01, 0xD801, 0};
    EXPECT_EQ(ToUtf8(high), "a\xED\xA0\x80");
    EXPECT_EQ(ToUtf8(low),
              "\xED\xB0\x80"
              "b");
    EXPECT_EQ(ToUtf8(reversed), "\xED\xB0\x81\xED\xA0\x81");
}

}  // namespace
