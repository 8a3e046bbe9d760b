// Any list of arguments survives being quoted into one line and split again.
#include <algorithm>
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "platform/commandline/ArgumentQuote.h"
#include "platform/commandline/ArgumentVector.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Code unit 0xFFFF separates the arguments; the first is the name,
    // which can hold no double quote.
    std::vector<ArgumentText> arguments = SplitAt(Utf16From(data, size), 0xFFFF);
    ArgumentText& name = arguments[0];
    name.erase(std::remove(name.begin(), name.end(), TEXT('"')), name.end());

    ArgumentText line = QuoteProgramName(name);
    for (size_t i = 1; i < arguments.size(); ++i) {
        line += TEXT(' ');
        line += QuoteArgument(arguments[i]);
    }
    const ArgumentVector split = ArgumentVector::FromCommandLine(line.c_str());
    if (split.Count() != static_cast<int>(arguments.size())) {
        std::abort();
    }
    for (int i = 0; i < split.Count(); ++i) {
        if (ArgumentText(split.Values()[i]) != arguments[i]) {
            std::abort();
        }
    }
    return 0;
}
