#include "tests/support/TestStrings.h"

#include "platform/Utf8.h"

void PrintTo(const CString& text, std::ostream* out) {
    *out << '"' << ToUtf8(text) << '"';
}

CString SystemMessage(DWORD code) {
    LPWSTR message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
    CString text(message, static_cast<int>(length));
    LocalFree(message);
    return text.TrimLeft().TrimRight();
}
