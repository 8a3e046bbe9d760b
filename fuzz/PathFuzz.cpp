// Any path through qualification, with a fixed current directory. The
// properties hold whatever the rules: a directory ends with a backslash,
// qualifying twice changes nothing more, a refusal is the internal error,
// the current directory is left as it was, and a text is a valid part
// exactly when each of its halves is one.
#include <cstdlib>

#include "disk/CurrentDirectory.h"
#include "disk/DiskObject.h"
#include "fuzz/FuzzInput.h"

namespace {

const CString kInternalError(TEXT("CDiskObject internal error - check call parameters"));

// Qualifies a copy of path; aborts on a refusal that is not the internal
// error.
CString Qualified(CDiskObject& disk, const CString& path, bool directory, BOOL* valid) {
    CString qualified = path;
    disk.ClearError();
    *valid = directory ? disk.QualifyDirectory(qualified) : disk.QualifyFile(qualified);
    if (!*valid && disk.m_errorText != kInternalError) {
        std::abort();
    }
    return qualified;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const CString home = [] {
        // Deep enough that "..\" steps have somewhere to go.
        SetCurrentDirectoryW(TEXT("\\usr\\share\\doc"));
        return ReadCurrentDirectory();
    }();
    const CString text(Utf16From(data, size).c_str());
    CDiskObject disk;
    for (const bool directory : {true, false}) {
        BOOL valid;
        const CString once = Qualified(disk, text, directory, &valid);
        if (directory && (once.IsEmpty() || once[once.GetLength() - 1] != TEXT('\\'))) {
            std::abort();
        }
        BOOL validAgain;
        if (valid && (Qualified(disk, once, directory, &validAgain) != once || !validAgain)) {
            std::abort();
        }
    }
    const int half = text.GetLength() / 2;
    if (disk.IsValidPathPart(text) !=
            (disk.IsValidPathPart(text.Left(half)) && disk.IsValidPathPart(text.Mid(half))) ||
        ReadCurrentDirectory() != home) {
        std::abort();
    }
    return 0;
}
