#include "launcher/commandline/CommandLineInfo.h"

#include <vector>

void CCommandLineInfo::ParseParam(const char* param, BOOL flag, BOOL last) {
    if (flag) {
        ParseFlag(param);
    } else {
        // 8-bit text here is ASCII or the system code page's; it is widened
        // byte by byte, which keeps ASCII exact.
        CString wide;
        for (const char* p = param; *p != 0; ++p) {
            wide += static_cast<WCHAR>(static_cast<unsigned char>(*p));
        }
        ParseNonFlag(wide);
    }
    ParseLast(last);
}

void CCommandLineInfo::ParseParam(LPCWSTR param, BOOL flag, BOOL last) {
    if (flag) {
        const int size = WideCharToMultiByte(CP_ACP, 0, param, -1, nullptr, 0, nullptr, nullptr);
        std::vector<char> narrow(size > 0 ? size : 1);
        WideCharToMultiByte(CP_ACP, 0, param, -1, narrow.data(), size, nullptr, nullptr);
        ParseFlag(narrow.data());
    } else {
        ParseNonFlag(param);
    }
    ParseLast(last);
}

void CCommandLineInfo::ParseFlag(const char* flag) {
    if (lstrcmpA(flag, "pt") == 0) {
        m_nShellCommand = FilePrintTo;
    } else if (lstrcmpA(flag, "p") == 0) {
        m_nShellCommand = FilePrint;
    } else if (lstrcmpiA(flag, "Unregister") == 0 || lstrcmpiA(flag, "Unregserver") == 0) {
        m_nShellCommand = AppUnregister;
    } else if (lstrcmpA(flag, "dde") == 0) {
        m_nShellCommand = FileDDE;
    } else if (lstrcmpiA(flag, "Embedding") == 0) {
        m_bRunEmbedded = TRUE;
        m_bShowSplash = FALSE;
    } else if (lstrcmpiA(flag, "Automation") == 0) {
        m_bRunAutomated = TRUE;
        m_bShowSplash = FALSE;
    }
}

void CCommandLineInfo::ParseNonFlag(const CString& text) {
    if (m_strFileName.IsEmpty()) {
        m_strFileName = text;
    } else if (m_nShellCommand == FilePrintTo) {
        if (m_strPrinterName.IsEmpty()) {
            m_strPrinterName = text;
        } else if (m_strDriverName.IsEmpty()) {
            m_strDriverName = text;
        } else if (m_strPortName.IsEmpty()) {
            m_strPortName = text;
        }
    }
}

void CCommandLineInfo::ParseLast(BOOL last) {
    if (!last) {
        return;
    }
    if (m_nShellCommand == FileNew && !m_strFileName.IsEmpty()) {
        m_nShellCommand = FileOpen;
    }
    m_bShowSplash = !m_bRunEmbedded && !m_bRunAutomated;
}
