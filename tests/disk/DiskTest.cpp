#include "tests/disk/DiskTest.h"

#include "disk/CurrentDirectory.h"

Texts ToTexts(const CStringArray& list) {
    Texts texts;
    for (int i = 0; i < list.GetSize(); ++i) {
        texts.push_back(list[i]);
    }
    return texts;
}

void DiskTest::SetUp() {
    previous_ = ReadCurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryW(Path()));
}

void DiskTest::TearDown() {
    // Every call of the test put the current directory back.
    EXPECT_EQ(ReadCurrentDirectory(), FromFsPath(temp_.path()));
    SetCurrentDirectoryW(previous_);
}

CString DiskTest::Path(const char* relative) const {
    CString path = FromFsPath(temp_.path());
    if (*relative != 0) {
        path += TEXT('\\');
    }
    for (const char* p = relative; *p != 0; ++p) {
        path += static_cast<WCHAR>(*p == '/' ? '\\' : *p);
    }
    return path;
}

void DiskTest::MakeFile(const char* relative) const {
    fs::create_directories(FsPath(relative).parent_path());
    WriteFile(FsPath(relative), relative);
}

void DiskTest::MakeFolder(const char* relative) const {
    fs::create_directories(FsPath(relative));
}

CString DiskTest::SystemError(DWORD code, const CString& elements) {
    return SystemMessage(code) + TEXT(' ') + elements;
}

std::set<std::string> DiskTest::Names(const char* relative) const {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(FsPath(relative))) {
        names.insert(entry.path().filename().string());
    }
    return names;
}
