// Starting programs through the shell's "open" verb: failures are results of
// 32 or less, and the launcher relies on nothing more.
#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"

namespace {

INT_PTR Open(const CString& program, const CString& directory) {
    return reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, TEXT("open"), program, nullptr, directory, SW_SHOW));
}

TEST(ShellTest, OpeningWhatCannotRunFails) {
    TempDir temp;
    WriteFile(temp.path() / "notes.exe", "not a program");
    const CString folder = FromFsPath(temp.path()) + TEXT('\\');
    EXPECT_LE(Open(folder + TEXT("missing.exe"), folder), 32);
    EXPECT_LE(Open(folder + TEXT("notes.exe"), folder), 32);
}

}  // namespace
