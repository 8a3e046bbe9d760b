// CCommandLineInfo: what the starter asked for, read from the arguments after
// the program name. Arguments that begin with '-' or '/' are flags; the first
// non-empty other argument is the file name.
#pragma once

#include "platform/Object.h"
#include "platform/String.h"

class CCommandLineInfo : public CObject {
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister };

    CCommandLineInfo() = default;
    ~CCommandLineInfo() override = default;

    // One argument: its text (a flag without its leading character), whether
    // it is a flag, and whether it is the last argument.
    virtual void ParseParam(const char* param, BOOL flag, BOOL last);
    virtual void ParseParam(LPCWSTR param, BOOL flag, BOOL last);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    int m_nShellCommand = FileNew;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

private:
    void ParseFlag(const char* flag);
    void ParseNonFlag(const CString& text);
    void ParseLast(BOOL last);
};
