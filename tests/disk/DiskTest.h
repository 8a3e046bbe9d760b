// What the disk tests share: a temporary folder that is the current
// directory during each test, a disk object with a window that records what
// it is sent, and a check that every call left the current directory alone.
#pragma once

#include <map>
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
    // A folder below it, with its trailing backslash.
    CString Folder(const char* relative) const { return Path(relative) + TEXT('\\'); }
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
    // An error text: the message for code, then the paths. Windows' own
    // messages are the system's; the Linux layer must give their words.
    static CString SystemError(DWORD code, const CString& elements) {
#ifdef _WIN32
        WCHAR text[512] = {};
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0, text, 512, nullptr);
        return CString(text).TrimRight() + TEXT(' ') + elements;
#else
        const std::map<DWORD, LPCWSTR> messages = {
            {ERROR_FILE_NOT_FOUND, TEXT("The system cannot find the file specified.")},
            {ERROR_PATH_NOT_FOUND, TEXT("The system cannot find the path specified.")},
            {ERROR_ACCESS_DENIED, TEXT("Access is denied.")},
            {ERROR_FILE_EXISTS, TEXT("The file exists.")},
            {ERROR_DISK_FULL, TEXT("There is not enough space on the disk.")},
            {ERROR_DIR_NOT_EMPTY, TEXT("The directory is not empty.")},
            {ERROR_IO_DEVICE,
             TEXT("The request could not be performed because of an I/O device error.")},
        };
        return messages.at(code) + (TEXT(' ') + elements);
#endif
    }

    // The error text of a file that could not be copied.
    CString CopyError(DWORD code, const std::string& from, const std::string& to) const {
        return SystemError(code, Path(from.c_str()) + TEXT(" -> ") + Path(to.c_str()));
    }

    TempDir temp_;
    // Put back before the folder goes: a current directory cannot be removed
    // on Windows.
    const CurrentDirectoryKeeper previous_;
    RecordingWindow window;
    CDiskObject disk{&window};
};
