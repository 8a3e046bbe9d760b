#include "platform/WinApp.h"

#include <cstdlib>
#include <iterator>
#include <new>

#include "platform/commandline/CommandTail.h"

namespace {

CWinApp* currentApp = nullptr;
ArgumentVector processArguments;

const UINT kQuietErrorMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;

// What the process ends with when it finds no memory to start.
const int kNoMemory = 255;

LPCWSTR SplitProcessCommandLine() {
    LPCWSTR commandLine = GetCommandLineW();
    // One unit beyond what the path may fill keeps a cut path terminated.
    WCHAR executablePath[MAX_PATH + 1] = {};
    if (*commandLine == 0) {
        // Nothing to split: the executable's own path is read instead.
        GetModuleFileNameW(nullptr, executablePath, std::size(executablePath) - 1);
        processArguments = ArgumentVector::FromCommandLine(executablePath);
    } else {
        processArguments = ArgumentVector::FromCommandLine(commandLine);
    }
    return processArguments.IsValid() ? FindCommandTail(commandLine) : nullptr;
}

}  // namespace

// The C++ run-time's own handler for an exception that nothing catches (or
// one thrown with no memory left to throw it): ends the process quietly with
// the exit code for no memory, instead of an abort that prints the
// exception's demangled type. Defined here, it also keeps the run-time's
// demangler out of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::_Exit(kNoMemory);
}
}  // namespace __gnu_cxx

CWinApp::CWinApp() {
    currentApp = this;
}

CWinApp::~CWinApp() {
    if (currentApp == this) {
        currentApp = nullptr;
    }
}

CWinApp* AfxGetApp() {
    return currentApp;
}

const ArgumentVector& AfxGetProcessArguments() {
    return processArguments;
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPCWSTR commandTail, int showCommand) {
    // Absent media and similar make file calls fail instead of asking the
    // user through a system dialog.
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode | kQuietErrorMode);

    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 0;
    }
    app->m_hInstance = instance;
    app->m_lpCmdLine = commandTail;
    app->m_nCmdShow = showCommand;
    app->InitApplication();
    // Whatever InitInstance answers, no message loop follows: there are no
    // windows to serve.
    app->InitInstance();
    return app->ExitInstance();
}

int AfxEntry(HINSTANCE instance) {
    LPCWSTR commandTail = nullptr;
    try {
        commandTail = SplitProcessCommandLine();
    } catch (const std::bad_alloc&) {
    }
    if (commandTail == nullptr) {
        return kNoMemory;
    }

    STARTUPINFOW startup = {};
    GetStartupInfoW(&startup);
    const int show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;

    return AfxWinMain(instance, nullptr, commandTail, show);
}
