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

}  // namespace
