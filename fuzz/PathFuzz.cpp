// Any path through qualification, with a fixed current directory.
#include <cstdlib>

#include "disk/CurrentDirectory.h"
#include "disk/DiskObject.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const CString home = [] {
        // Deep enough that "..\" steps have somewhere to go.
        SetCurrentDirectoryW(TEXT("\\usr\\share\\doc"));
        return ReadCurrentDirectory();
    }();
    const std::basic_string<WCHAR> text = Utf16From(data, size);
    const CString internalError(TEXT("CDiskObject internal error - check call parameters"));
    CDiskObject disk;

    CString directory(text.c_str());
    const BOOL directoryValid = disk.QualifyDirectory(directory);
    if (directory.IsEmpty() || directory[directory.GetLength() - 1] != TEXT('\\') ||
        (!directoryValid && disk.m_errorText != internalError)) {
        std::abort();
    }

    disk.ClearError();
    CString file(text.c_str());
    if (!disk.QualifyFile(file) && disk.m_errorText != internalError) {
        std::abort();
    }

    const CString part(text.c_str());
    const bool forbidden =
        part.Find(TEXT(':')) >= 0 || part.Find(TEXT('*')) >= 0 || part.Find(TEXT('?')) >= 0;
    if (disk.IsValidPathPart(part) == forbidden || ReadCurrentDirectory() != home) {
        std::abort();
    }
    return 0;
}
