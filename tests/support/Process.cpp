#include "tests/support/Process.h"

#include "launcher/commandline/ArgumentQuote.h"

CString CommandLineFor(const fs::path& program, const std::vector<CString>& arguments) {
    const ArgumentText name = QuoteProgramName(FromFsPath(program).operator LPCWSTR());
    CString line(name.c_str());
    if (!arguments.empty()) {
        line += TEXT(' ');
        line += CommandTailFor(arguments);
    }
    return line;
}

CString CommandTailFor(const std::vector<CString>& arguments) {
    CString tail;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) {
            tail += TEXT(' ');
        }
        tail += QuoteArgument(arguments[i].operator LPCWSTR()).c_str();
    }
    return tail;
}
