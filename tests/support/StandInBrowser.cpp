// A program that stands where the browser would. It leaves beside itself a
// record of what it was started with (see LaunchRecord.h).
#include "launcher/FolderLayout.h"
#include "platform/WinApp.h"
#include "tests/support/LaunchRecord.h"

namespace {

class StandInBrowser : public CWinApp {
public:
    BOOL InitInstance() override {
        CString directory;
        directory.ReleaseBuffer(GetCurrentDirectoryW(4096, directory.GetBuffer(4096)));
        WriteLaunchRecord(ToFsPath(GetModuleDirectory()), {directory, m_lpCmdLine});
        return FALSE;
    }
};

StandInBrowser theStandInBrowser;

}  // namespace
