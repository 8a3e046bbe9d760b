#include "tests/support/Process.h"

#include "platform/commandline/ArgumentQuote.h"

CString CommandTailFor(const std::vector<CString>& arguments) {
    CString tail;
    for (size_t i = 0; i < arguments.size(); ++i) {
        tail += i > 0 ? TEXT(" ") : TEXT("");
        tail += QuoteArgument(static_cast<LPCWSTR>(arguments[i])).c_str();
    }
    return tail;
}
