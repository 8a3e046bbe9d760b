// Turning a fuzzer's bytes into the UTF-16 text that the code under test
// takes: every two bytes make one code unit, any value but 0 (lone
// surrogates and all).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/String.h"

inline std::basic_string<WCHAR> Utf16From(const uint8_t* data, size_t size) {
    std::basic_string<WCHAR> text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const WCHAR unit = static_cast<WCHAR>(data[i] | (data[i + 1] << 8));
        if (unit != 0) {
            text += unit;
        }
    }
    return text;
}

// The text cut at every occurrence of `separator`.
inline std::vector<std::basic_string<WCHAR>> SplitAt(const std::basic_string<WCHAR>& text,
                                                     WCHAR separator) {
    std::vector<std::basic_string<WCHAR>> parts(1);
    for (WCHAR c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}
