// What the disk tests share: a temporary folder that is the current
// directory during each test, a disk object with a window that records what
// it is sent, and a check that every call left the current directory alone.
#pragma once

#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "disk/CurrentDirectory.h"
#include "disk/DiskObject.h"
#include "tests/support/TestFiles.h"

struct RecordingWindow : CWnd {
    void SetWindowText(LPCWSTR text) override { texts.push_back(text); }
    std::vector<CString> texts;
};

typedef std::vector<CString> Texts;
typedef std::set<std::string> Names;

inline Texts ToTexts(const CStringArray& list) {
    Texts texts(list.GetSize());
    for (int i = 0; i < list.GetSize(); ++i) {
        texts[i] = list[i];
    }
    return texts;
}

class DiskTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetCurrentDirectoryW(Path())); }
    void TearDown() override { EXPECT_EQ(ReadCurrentDirectory(), Path()); }

    // The temporary folder, or a path below it written with forward
    // slashes and without wildcards, as the disk object takes paths.
    CString Path(const char* relative = "") const {
        return FromFsPath(*relative == 0 ? temp_.path() : FsPath(relative));
    }
    // Names are UTF-8 on both systems.
    fs::path FsPath(const std::string& relative) const {
        return temp_.path() / fs::u8path(relative);
    }
    // Files below folder, their folders made as needed, each holding its
    // name as given.
    void MakeFiles(const Names& files, const std::string& folder = "") const {
        for (const std::string& file : files) {
            const fs::path path = FsPath(folder) / fs::u8path(file);
            fs::create_directories(path.parent_path());
            WriteFile(path, file);
        }
    }
    // The names in a folder, temporaries and links included.
    Names In(const char* relative) const {
        Names names;
        for (const fs::directory_entry& entry : fs::directory_iterator(FsPath(relative))) {
            names.insert(entry.path().filename().u8string());
        }
        return names;
    }
    static CString SystemError(DWORD code, const CString& elements) {
        return SystemMessage(code) + TEXT(' ') + elements;
    }

    TempDir temp_;
    // Put back before the folder goes: a current directory cannot be removed
    // on Windows.
    const CurrentDirectoryKeeper previous_;
    RecordingWindow window;
    CDiskObject disk{&window};
};
