// A program that stands where the browser would. It leaves beside itself, in
// launch-record, what it was started with: its working directory and its raw
// command tail, each as its UTF-16 units ended by a zero unit. The record is
// written under another name first, so that a reader sees it whole or not at
// all.
#include "launcher/FolderLayout.h"
#include "platform/WinApp.h"
#include "tests/support/TestFiles.h"

namespace {

class StandInBrowser : public CWinApp {
public:
    BOOL InitInstance() override {
        std::basic_string<WCHAR> units(4096, WCHAR(0));
        units.resize(GetCurrentDirectoryW(4096, &units[0]) + 1);
        units.append(m_lpCmdLine, std::char_traits<WCHAR>::length(m_lpCmdLine) + 1);
        const fs::path record = ToFsPath(GetModuleDirectory()) / "launch-record";
        const fs::path partial = fs::path(record) += ".partial";
        WriteFile(partial, std::string(reinterpret_cast<const char*>(units.data()),
                                       units.size() * sizeof(WCHAR)));
        fs::rename(partial, record);
        return FALSE;
    }
};

StandInBrowser theStandInBrowser;

}  // namespace
