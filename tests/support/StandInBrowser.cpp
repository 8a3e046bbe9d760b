// A program that stands where the browser would. It leaves beside itself a
// record of what it was started with (see LaunchRecord.h).
#include "launcher/FolderLayout.h"
#include "platform/WinApp.h"
#include "tests/support/LaunchRecord.h"

namespace {

class StandInBrowser : public CWinApp {
public:
    BOOL InitInstance() override {
        LaunchRecord record;
        record.directory.ReleaseBuffer(
            GetCurrentDirectoryW(4096, record.directory.GetBuffer(4096)));
        record.tail = m_lpCmdLine;
        const fs::path folder = ToFsPath(GetModuleDirectory());
        if (record.tail.Find(kRecordFiles) >= 0) {
            record.files = ContentsOf(folder);
        }
        WriteLaunchRecord(folder, record);
        return FALSE;
    }
};

StandInBrowser theStandInBrowser;

}  // namespace
