#include "platform/commandline/ArgumentQuote.h"

namespace {

// Control characters count as blanks: the command tail skips them in front
// of the first argument, and they must not be lost there.
bool HasBlankOrControl(const ArgumentText& text) {
    for (WCHAR c : text) {
        if (c <= 0x20) {
            return true;
        }
    }
    return false;
}

}  // namespace

ArgumentText QuoteArgument(const ArgumentText& argument) {
    if (!argument.empty() && !HasBlankOrControl(argument) &&
        argument.find(TEXT('"')) == ArgumentText::npos) {
        return argument;
    }
    ArgumentText quoted(1, TEXT('"'));
    size_t backslashes = 0;
    for (WCHAR c : argument) {
        if (c == TEXT('\\')) {
            ++backslashes;
            continue;
        }
        if (c == TEXT('"')) {
            quoted.append(2 * backslashes + 1, TEXT('\\'));
        } else {
            quoted.append(backslashes, TEXT('\\'));
        }
        quoted += c;
        backslashes = 0;
    }
    quoted.append(2 * backslashes, TEXT('\\'));
    quoted += TEXT('"');
    return quoted;
}

ArgumentText QuoteProgramName(const ArgumentText& name) {
    if (!name.empty() && !HasBlankOrControl(name) && name[0] != TEXT('"')) {
        return name;
    }
    ArgumentText quoted(1, TEXT('"'));
    for (WCHAR c : name) {
        if (c != TEXT('"')) {
            quoted += c;
        }
    }
    quoted += TEXT('"');
    return quoted;
}
