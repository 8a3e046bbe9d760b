// A program that stands where the browser would and writes down what it was
// started with (see LaunchRecord.h), then ends.
#include <system_error>

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
        LaunchRecord record;
        WCHAR directory[4096] = {};
        GetCurrentDirectoryW(4096, directory);
        record.directory = directory;
        record.tail = m_lpCmdLine;
        const ArgumentVector arguments = ArgumentVector::FromCommandLine(GetCommandLineW());
        for (int i = 1; i < arguments.Count(); ++i) {
            record.arguments.push_back(arguments.Values()[i]);
        }
#ifndef _WIN32
        for (int descriptor = 3; descriptor < 1024; ++descriptor) {
            if (fcntl(descriptor, F_GETFD) != -1) {
                record.inherited.push_back(descriptor);
            }
        }
#endif

        // Whoever waits for the record sees it whole or not at all.
        const fs::path path = LaunchRecordPath(ToFsPath(GetModuleDirectory()));
        fs::path partial = path;
        partial += ".partial";
        WriteFile(partial, FormatLaunchRecord(record));
        std::error_code ignored;
        fs::rename(partial, path, ignored);
        return FALSE;
    }
};

StandInBrowser theStandInBrowser;

}  // namespace
