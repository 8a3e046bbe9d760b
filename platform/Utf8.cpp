#include "platform/Utf8.h"

namespace {

const char32_t kEscapeBase = 0xDC00;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at text[i], or 0 when there is none.
size_t ValidSequence(const std::string& text, size_t i, bool (*kept)(char32_t),
                     char32_t* codePoint) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    size_t length;
    char32_t value;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if (!IsContinuation(byte(k))) {
            return 0;
        }
        value = (value << 6) | (byte(k) & 0x3F);
    }
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    if (overlong || surrogate || value > 0x10FFFF || (kept != nullptr && kept(value))) {
        return 0;
    }
    *codePoint = value;
    return length;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string ToUtf8(LPCWSTR text, size_t length) {
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        const char32_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (high && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            out += static_cast<char>(unit - kEscapeBase);
        } else {
            // Any other lone surrogate has no UTF-8 form; it is written as
            // the three bytes it would have, as other systems do.
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::string ToUtf8(LPCWSTR text) {
    return ToUtf8(text, std::char_traits<WCHAR>::length(text));
}

Utf16Text FromUtf8(const std::string& text, bool (*kept)(char32_t)) {
    Utf16Text out;
    for (size_t i = 0; i < text.size();) {
        char32_t c;
        const size_t length = ValidSequence(text, i, kept, &c);
        if (length == 0) {
            out += static_cast<WCHAR>(kEscapeBase + static_cast<unsigned char>(text[i]));
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out += static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<WCHAR>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<WCHAR>(c);
        }
        i += length;
    }
    return out;
}
