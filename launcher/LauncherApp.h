// The launcher's application object. Its start-up operation applies a
// staged update, starts the browser and declines to run, so the process
// ends at once.
#pragma once

#include "platform/WinApp.h"

class LauncherApp : public CWinApp {
public:
    ~LauncherApp() override = default;
    // Always FALSE.
    BOOL InitInstance() override;
};

extern LauncherApp theLauncherApp;
