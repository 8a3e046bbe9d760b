#include "tests/support/TestStrings.h"

#include "platform/Utf8.h"

void PrintTo(const CString& text, std::ostream* out) {
    *out << '"' << ToUtf8(text) << '"';
}
