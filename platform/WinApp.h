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

    // Hands the process's arguments after the program name to the record
    // info (the launcher's CCommandLineInfo), as ParseArguments does.
    template <class Record>
    void ParseCommandLine(Record& info);

    HINSTANCE m_hInstance = nullptr;
    // The raw command tail, exactly as the starter wrote it; never null.
    LPCWSTR m_lpCmdLine = TEXT("");
    int m_nCmdShow = SW_SHOWDEFAULT;
};

CWinApp* AfxGetApp();

// The process's arguments, split once at entry (empty before it).
const ArgumentVector& AfxGetProcessArguments();

// Hands each argument after the program name (entries 1 to count - 1) to
// info.ParseParam, in order: its text (a flag without its leading '-' or
// '/'), whether it is a flag, and whether it is the last.
template <class Record>
void ParseArguments(int count, LPWSTR const* arguments, Record& info) {
    for (int i = 1; i < count; ++i) {
        LPCWSTR text = arguments[i];
        const BOOL flag = text[0] == TEXT('-') || text[0] == TEXT('/');
        info.ParseParam(flag ? text + 1 : text, flag, i == count - 1);
    }
}

template <class Record>
void CWinApp::ParseCommandLine(Record& info) {
    const ArgumentVector& arguments = AfxGetProcessArguments();
    ParseArguments(arguments.Count(), arguments.Values(), info);
}

int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPCWSTR commandTail, int showCommand);

// Everything the process does after its static objects are built; the
// answer is the exit code (255 when the arguments find no memory).
int AfxEntry(HINSTANCE instance);
