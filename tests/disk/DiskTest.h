// What the disk tests share: a temporary folder that is the current
// directory during each test, a disk object with a window that records what
// it is sent, and checks that each call leaves the current directory alone.
#pragma once

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "disk/DiskObject.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestStrings.h"

class RecordingWindow : public CWnd {
public:
    void SetWindowText(LPCWSTR text) override { texts.push_back(text); }
    std::vector<CString> texts;
};

typedef std::vector<CString> Texts;

Texts ToTexts(const CStringArray& list);

class DiskTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The temporary folder's path, or a path below it (`relative` written
    // with forward slashes), as the disk object takes paths.
    CString Path(const char* relative = "") const;
    fs::path FsPath(const char* relative) const { return temp_.path() / relative; }
    // A file (its folders made as needed) holding its own relative name.
    void MakeFile(const char* relative) const;
    void MakeFolder(const char* relative) const;
    bool Exists(const char* relative) const { return fs::exists(FsPath(relative)); }
    // The names in a folder, temporaries and links included.
    std::set<std::string> Names(const char* relative) const;
    // The error text for a failed system call: its message and elements.
    static CString SystemError(DWORD code, const CString& elements);

    RecordingWindow window;
    CDiskObject disk{&window};
    const CString kInternalError = TEXT("CDiskObject internal error - check call parameters");

private:
    TempDir temp_;
    CString previous_;
};
