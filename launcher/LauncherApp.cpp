#include "launcher/LauncherApp.h"

#include "launcher/FolderLayout.h"
#include "launcher/LaunchDelay.h"
#include "launcher/StagedUpdate.h"
#include "launcher/commandline/CommandLineInfo.h"

BOOL LauncherApp::InitInstance() {
    // Whatever goes wrong (memory for a string, say) ends the start quietly:
    // the launcher never shows or reports anything.
    try {
        CCommandLineInfo commandLine;
        ParseCommandLine(commandLine);

        const FolderLayout layout(GetModuleDirectory());
        // Without its own folder every path would be read against the
        // current directory, which may hold anyone's TavrelData: where that
        // can happen, nothing is touched and nothing started.
        if (layout.launcherDirectory.IsEmpty() && kModulePathMayBeUnknown) {
            return FALSE;
        }
        ApplyStagedUpdate(layout);

        const LaunchPlan plan = PlanLaunch(commandLine.m_strFileName, m_lpCmdLine);
        if (plan.delayMilliseconds > 0) {
            Sleep(plan.delayMilliseconds);
        }
        ShellExecuteW(nullptr, TEXT("open"), layout.browserProgram,
                      plan.forwardTail ? m_lpCmdLine : nullptr, layout.dataFolder, SW_SHOW);
    } catch (...) {
    }
    return FALSE;
}
