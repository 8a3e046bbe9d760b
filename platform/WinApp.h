// CWinApp: the application object's base, and the process frame around it.
//
// The process entry builds the argument vector, derives the raw command tail
// and runs AfxWinMain, which calls the application's hooks in order:
// InitApplication, InitInstance and, since there is no message loop,
// ExitInstance, whose answer is the process exit code.
#pragma once

#include "platform/Object.h"
#include "platform/Platform.h"
#include "platform/commandline/ArgumentVector.h"

// The record that ParseCommandLine fills is the launcher's own.
class CCommandLineInfo;

class CWinApp : public CObject {
public:
    // Registers this object as the process's application.
    CWinApp();
    ~CWinApp() override;

    virtual BOOL InitApplication() { return TRUE; }
    virtual BOOL InitInstance() { return TRUE; }
    // Nothing to save: no recent-file list, no settings. The answer is the
    // exit code.
    virtual int ExitInstance() { return 0; }

    // Hands the process's arguments after the program name to info.
    // Defined with the record.
    void ParseCommandLine(CCommandLineInfo& info);

    HINSTANCE m_hInstance = nullptr;
    // The raw command tail, exactly as the starter wrote it; never null.
    LPCWSTR m_lpCmdLine = TEXT("");
    int m_nCmdShow = SW_SHOWDEFAULT;
};

CWinApp* AfxGetApp();

// The process's arguments, split once at entry (empty before it).
const ArgumentVector& AfxGetProcessArguments();

int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPCWSTR commandTail, int showCommand);

// Everything the process does after its static objects are built; the
// answer is the exit code (255 when the arguments find no memory).
int AfxEntry(HINSTANCE instance);
