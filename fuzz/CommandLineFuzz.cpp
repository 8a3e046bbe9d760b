// Any command line through the tail, the argument vector and the record.
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "launcher/commandline/CommandLineInfo.h"
#include "platform/WinApp.h"
#include "platform/commandline/ArgumentVector.h"
#include "platform/commandline/CommandTail.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::basic_string<WCHAR> line = Utf16From(data, size);

    // The tail is a suffix of the line.
    LPCWSTR tail = FindCommandTail(line.c_str());
    if (tail < line.c_str() || tail > line.c_str() + line.size()) {
        std::abort();
    }

    const ArgumentVector arguments = ArgumentVector::FromCommandLine(line.c_str());
    if (!arguments.IsValid() || arguments.Count() < 1 ||
        arguments.Values()[arguments.Count()] != nullptr) {
        std::abort();
    }

    // A flag never becomes the file name, and the file name is one of the
    // arguments.
    CCommandLineInfo info;
    ParseArguments(arguments.Count(), arguments.Values(), info);
    bool found = info.m_strFileName.IsEmpty();
    for (int i = 1; i < arguments.Count(); ++i) {
        found = found || info.m_strFileName == CString(arguments.Values()[i]);
    }
    const WCHAR first = info.m_strFileName.IsEmpty() ? 0 : info.m_strFileName[0];
    if (!found || first == TEXT('-') || first == TEXT('/')) {
        std::abort();
    }
    return 0;
}
