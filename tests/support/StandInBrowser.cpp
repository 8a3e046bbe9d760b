// A program that stands where the browser would and writes down what it was
// started with (see LaunchRecord.h), then ends.
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#endif

#include "launcher/FolderLayout.h"
#include "platform/WinApp.h"
#include "platform/commandline/ArgumentVector.h"
#include "tests/support/LaunchRecord.h"

namespace {

class StandInBrowser : public CWinApp {
public:
    BOOL InitInstance() override {
        WCHAR directory[4096] = {};
        GetCurrentDirectoryW(4096, directory);
        CString inherited;
#ifndef _WIN32
        for (int descriptor = 3; descriptor < 1024; ++descriptor) {
            if (fcntl(descriptor, F_GETFD) != -1) {
                for (const char digit : std::to_string(descriptor) + ' ') {
                    inherited += static_cast<WCHAR>(digit);
                }
            }
        }
#endif
        LaunchRecord record = {directory, m_lpCmdLine, inherited};
        const ArgumentVector arguments = ArgumentVector::FromCommandLine(GetCommandLineW());
        for (int i = 1; i < arguments.Count(); ++i) {
            record.push_back(arguments.Values()[i]);
        }
        WriteLaunchRecord(ToFsPath(GetModuleDirectory()), record);
        return FALSE;
    }
};

StandInBrowser theStandInBrowser;

}  // namespace
