// UTF-16 to UTF-8 and back.
//
// Linux names are bytes and need not be valid UTF-8. A byte that is not part
// of a valid sequence becomes the lone surrogate U+DC80 + byte and turns back
// into that byte, so every name and argument survives the round trip.
#pragma once

#include <string>

#include "platform/Platform.h"

typedef std::basic_string<WCHAR> Utf16Text;

std::string ToUtf8(LPCWSTR text, size_t length);
std::string ToUtf8(LPCWSTR text);
// A code point for which `kept` answers true is kept as its bytes, as if its
// sequence were not valid: a caller that gives such code points a meaning of
// their own keeps the text that holds them unchanged all the same.
Utf16Text FromUtf8(const std::string& text, bool (*kept)(char32_t) = nullptr);
