// CWnd: just what a progress window needs. Setting its text replaces what it
// showed before.
#pragma once

#include "platform/Object.h"
#include "platform/Platform.h"

class CWnd : public CObject {
public:
    // Overridable so that a caller can watch the texts without a real window.
    virtual void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }

    HWND m_hWnd = nullptr;
};
